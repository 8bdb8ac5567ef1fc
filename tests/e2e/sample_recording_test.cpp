#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <utility>

#include "foundation/geometry.h"
#include "program_process.h"
#include "replay_run.h"
#include "rtemu/recording.h"
#include "support/sample_data.h"
#include "traffic_watch.h"
#include "user_computer.h"

// The demo as a user runs it: the sample recording replayed as it is, beside the sample scenario. What reaches the
// simulator must show the whole job at the sample airport's stands, and the stands must be learned.
namespace cvl::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// From the replay's start: the recording's first departure pushes back after 30 s, and its first arrival stops at its
// stand after 105 s, which the program shows 30 s later; the program's own start comes first.
constexpr auto runLimit = 240s;
constexpr auto endLimit = 60s;

// An aircraft stands at a stand when its reference point lies near the stand's and it faces the stand's way.
constexpr double standHeadingTolerance = 2.0;
// A push-back shows as the aircraft this far behind its stand, still facing the stand's way (the tug turns it at the
// end).
constexpr double pushedBackMetres = 30.0;
constexpr double pushedBackHeadingTolerance = 10.0;
constexpr double pushedBackBearingTolerance = 30.0;

double degreesOff(double heading, double wanted) {
  return std::abs(std::remainder(heading - wanted, 360.0));
}

bool atStand(const Shown& shown, const Stand& stand) {
  return metresBetween(shown.place, stand.place) <= standReachMetres &&
         degreesOff(shown.heading, stand.heading) <= standHeadingTolerance;
}

bool pushedBackFrom(const Shown& shown, const Stand& stand) {
  const double behind = stand.heading + 180.0;
  return metresBetween(shown.place, stand.place) >= pushedBackMetres &&
         degreesOff(gf_bearing(stand.place, shown.place) * radiansToDegrees, behind) <= pushedBackBearingTolerance &&
         degreesOff(shown.heading, stand.heading) <= pushedBackHeadingTolerance;
}

// What the test saw the simulator show at the stands.
struct StandsSeen {
  std::set<std::string> parkedShown;
  // Departures shown at their stand, and those of them shown pushed back from it since.
  std::set<std::string> departuresAtStand;
  std::set<std::string> pushedBack;

  void add(const Sample& sample, const StandTraffic& traffic, const std::map<std::string, Stand>& stands) {
    for (const auto& [tail, shown] : sample.aircraft) {
      if (const auto parked = traffic.parked.find(tail);
          parked != traffic.parked.end() && atStand(shown, stands.at(parked->second))) {
        parkedShown.insert(tail);
      }
      if (const auto departing = traffic.departing.find(tail); departing != traffic.departing.end()) {
        const Stand& stand = stands.at(departing->second);
        if (atStand(shown, stand)) {
          departuresAtStand.insert(tail);
        } else if (departuresAtStand.contains(tail) && pushedBackFrom(shown, stand)) {
          pushedBack.insert(tail);
        }
      }
    }
  }
};

// The recording's arrivals that the log has at their stand, which the simulator shows there, facing the stand's way.
// The log can have an aircraft that stood at its stand from the start "arrived at stand" too.
std::set<std::string> arrivalsShownAtStand(const std::string& log, const Watch& watch, const StandTraffic& traffic,
                                           const std::map<std::string, Stand>& stands) {
  std::set<std::string> shownAtStand;
  for (const auto& [callsign, standName] : arrivalsIn(log)) {
    const auto arriving = traffic.arriving.find(callsign);
    if (arriving == traffic.arriving.end() || arriving->second != standName || watch.samples().empty() ||
        !watch.settledHeading(callsign)) {
      continue;
    }
    const auto& latest = watch.samples().back().aircraft;
    if (const auto shown = latest.find(callsign);
        shown != latest.end() && atStand(shown->second, stands.at(standName))) {
      shownAtStand.insert(callsign);
    }
  }
  return shownAtStand;
}

// The count of the last "saved with N updates" line of the log; nothing without one.
std::optional<int> learnedUpdatesSaved(const std::string& log) {
  static const std::regex saved{"saved with (-?[0-9]+) update"};
  std::optional<int> updates;
  for (auto match = std::sregex_iterator(log.begin(), log.end(), saved); match != std::sregex_iterator{}; ++match) {
    updates = std::stoi((*match)[1].str());
  }
  return updates;
}

TEST(SampleRecordingEndToEnd, ArrivalsParkAtTheirStandsDeparturesPushBackAndTheStandsAreLearned) {
  const auto recordingFile = sampleDataFolder() / "traffic.txt";
  const auto stands = sampleStands();
  const auto traffic = standTrafficOf(rtemu::readRecording(recordingFile), stands);
  ASSERT_FALSE(traffic.parked.empty()) << "the recording parks no aircraft at a stand of the sample airport";
  ASSERT_FALSE(traffic.departing.empty()) << "no departure of the recording starts at a stand of the sample airport";
  const int servicePort = freeTcpPort();
  ASSERT_GT(servicePort, 0);
  const UserComputer computer{fmt::format(R"(<parameter name="PORT_NUMBER" value="{}"/>)", servicePort)};
  computer.installTrafficService();

  ReplayRun run{computer, servicePort, recordingFile};
  ASSERT_FALSE(run.simulatorPort.empty());

  Watch watch;
  StandsSeen seen;
  std::set<std::string> arrived;
  waitUntil(
      [&] {
        const auto state = run.nextState();
        if (!state) {
          return false;
        }
        watch.add(liveAircraftIn(*state, run.replayStart));
        seen.add(watch.samples().back(), traffic, stands);
        arrived = arrivalsShownAtStand(computer.log(), watch, traffic, stands);
        return !arrived.empty() && !seen.parkedShown.empty() && !seen.pushedBack.empty();
      },
      runLimit);
  run.program.signal(SIGTERM);
  EXPECT_EQ(run.program.waitForExit(endLimit), 0);
  const auto log = computer.log();

  EXPECT_FALSE(arrived.empty()) << "no arrival shown at its stand, facing its way\n" << log;
  EXPECT_FALSE(seen.parkedShown.empty()) << "no parked aircraft shown at its stand\n" << log;
  EXPECT_FALSE(seen.departuresAtStand.empty()) << "no departure shown at its stand\n" << log;
  EXPECT_FALSE(seen.pushedBack.empty()) << "no departure shown pushed back from its stand\n" << log;

  // Closing leaves the park airport: its learned file is saved with what the stands held, each arrival that came to
  // its stand as well as each aircraft parked all along, at its stand under its registration.
  EXPECT_GE(learnedUpdatesSaved(log).value_or(0), 1) << log;
  const auto learned = learnedOptions(computer.programFolder());
  std::map<std::string, std::string> standOfParked;
  for (const std::string& callsign : arrived) {
    standOfParked.emplace(callsign, traffic.arriving.at(callsign));
  }
  for (const std::string& tail : seen.parkedShown) {
    standOfParked.emplace(tail, traffic.parked.at(tail));
  }
  for (const auto& [tail, stand] : standOfParked) {
    EXPECT_TRUE(std::ranges::any_of(learned,
                                    [&](const LearnedOption& option) {
                                      return option.stand == stand &&
                                             option.registration == traffic.registrations.at(tail);
                                    }))
        << tail << " " << traffic.registrations.at(tail) << " is not learned at " << stand
        << "; options learned: " << learned.size();
  }
}

}  // namespace
}  // namespace cvl::test
