#include <fmt/format.h>
#include <fmt/ranges.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "emulator_process.h"
#include "foundation/geometry.h"
#include "program_process.h"
#include "replay_run.h"
#include "rtemu/recording.h"
#include "support/sample_data.h"
#include "traffic_watch.h"
#include "user_computer.h"

// The user takes off from a stand of the sample airport, flies to EDFB and comes back to land and taxi to the same
// stand, while the sample recording plays. What reaches the simulator and the disk must show the park airport left and
// found again: its static aircraft removed with nothing of it left behind and its learned file saved, then the static
// aircraft placed again from the airport file and the learned file, with the user's stand kept free.
namespace cvl::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr double groundFt = 364.0;
constexpr double feetPerMetre = 3.28084;

// The user's stand, which the recording leaves free; no other stand is near enough to block it.
const std::string userStand = "B22";
// A stand without options in the airport file, which the earlier learned file fills at every half hour.
const std::string learnedStand = "B24";
// Runway 25L: its threshold and course, and where the user lines up (metres from the threshold).
constexpr LatLon threshold25L{50.0384, 8.5866};
constexpr double course25 = 249.9;
constexpr double lineUpMetres = 800.0;
// 21.7 nm from the sample airport, beyond the 20 nm within which a park airport stays in sight (AIRP_RANGE).
constexpr LatLon edfb{50.3358, 8.8781};

// The program looks at the park airport every 16 s, and creates a static aircraft every half second at most.
constexpr auto startLimit = 120s;
constexpr auto parkedLimit = 90s;
constexpr auto changeLimit = 60s;
constexpr auto endLimit = 60s;
// Looks (half a second apart) without a new static aircraft, after which the program has placed all it chose.
constexpr std::size_t settledLooks = 6;

// A point of the user's flight, as simemu's fly command takes it.
struct Point {
  LatLon place;
  double altitudeFt = groundFt;
  double headingDeg = 0.0;
  double speedKt = 0.0;
  bool onGround = true;
};

std::string flyCommand(const Point& point) {
  return fmt::format("fly {:.6f} {:.6f} {:.0f} {:.1f} {:.0f} {}", point.place.lat, point.place.lon, point.altitudeFt,
                     point.headingDeg, point.speedKt, point.onGround ? "ground" : "air");
}

// A flight, a leg at a time from its last point. A leg goes straight, heading its way, with its altitude and speed
// changing evenly to those at its end, one point every stepMetres. The points are flown half a second apart, so the
// flight goes faster than its speeds tell, but each point lies well within the 10 nm of the point before beyond
// which the program takes a move for a teleport.
class Route {
 public:
  explicit Route(const Point& start) : points_{start} {}

  Route& leg(const LatLon& to, double altitudeFt, double speedKt, bool onGround, double stepMetres) {
    const Point from = points_.back();
    const double heading = gf_bearing(from.place, to) * radiansToDegrees;
    const int steps = std::max(1, static_cast<int>(std::ceil(metresBetween(from.place, to) / stepMetres)));
    for (int step = 1; step <= steps; ++step) {
      const double share = static_cast<double>(step) / steps;
      points_.push_back(
          {{from.place.lat + share * (to.lat - from.place.lat), from.place.lon + share * (to.lon - from.place.lon)},
           from.altitudeFt + share * (altitudeFt - from.altitudeFt),
           heading,
           from.speedKt + share * (speedKt - from.speedKt),
           onGround});
    }
    return *this;
  }

  // Turns on the spot, to stand or to roll on.
  Route& turn(double headingDeg, double speedKt) {
    Point point = points_.back();
    point.headingDeg = headingDeg;
    point.speedKt = speedKt;
    points_.push_back(point);
    return *this;
  }

  const std::vector<Point>& points() const { return points_; }
  const Point& end() const { return points_.back(); }

 private:
  std::vector<Point> points_;
};

LatLon runwayPoint(double metresFromThreshold) {
  return gf_destinationPoint(threshold25L, course25 * degreesToRadians, metresFromThreshold * feetPerMetre);
}

// From the stand to the runway, the take-off, and on to EDFB.
Route departure(const Stand& stand) {
  Route route{{stand.place, groundFt, stand.heading, 0.0, true}};
  route.leg(runwayPoint(lineUpMetres), groundFt, 15.0, true, 80.0).turn(course25, 0.0);
  route.leg(runwayPoint(lineUpMetres + 1500.0), groundFt, 150.0, true, 150.0);
  route.leg(runwayPoint(lineUpMetres + 1500.0 + 3.0 * metresPerNauticalMile), 2000.0, 180.0, false, 900.0);
  route.leg(edfb, 4000.0, 250.0, false, metresPerNauticalMile);
  return route;
}

// From EDFB to the final approach fix of runway 25L, 10 nm out: within sight of the sample airport again.
Route returnFlight(const Point& start) {
  const LatLon finalFix = gf_destinationPoint(threshold25L, (course25 - 180.0) * degreesToRadians,
                                              10.0 * metresPerNauticalMile * feetPerMetre);
  Route route{start};
  route.leg(finalFix, 3000.0, 220.0, false, metresPerNauticalMile);
  return route;
}

// The final approach, the touch-down, the roll-out and the taxi back to the stand.
Route landing(const Point& start, const Stand& stand) {
  Route route{start};
  route.leg(runwayPoint(300.0), groundFt, 140.0, false, 900.0);
  route.leg(runwayPoint(1300.0), groundFt, 20.0, true, 150.0);
  route.leg(stand.place, groundFt, 15.0, true, 80.0).turn(stand.heading, 0.0);
  return route;
}

// The learned file of an earlier visit to the sample airport: at every half hour of the week an aircraft stood at the
// user's stand, and another at a stand the airport file knows nothing of.
constexpr const char* earlierLearnedFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<root>
  <meta>
    <info name="author" value="Corvalen" />
    <info name="version" value="11.10.3" />
    <info name="copyright" value="Corvalen data file. Copyright the Corvalen authors; for use with Corvalen." />
    <info name="sim" value="1" />
  </meta>
  <parameters>
    <parameter name="airport_name" value="Frankfurt am Main" />
    <parameter name="publisher" value="stock" />
  </parameters>
  <parkpositions>
    <parkpos id="{}">{}
    </parkpos>
    <parkpos id="{}">{}
    </parkpos>
  </parkpositions>
</root>
)";

std::string optionsEveryHalfHour(const std::string& registration, const std::string& callsigns) {
  std::string options;
  for (int day = 1; day <= 7; ++day) {
    options += fmt::format(R"(
      <opt reg="{}" airl="DLH" type="A320" day="{}" hh="0:47" cs="{}" />)",
                           registration, day, callsigns);
  }
  return options;
}

// The static aircraft the learned file puts at its stand: the arriving callsign, marked as static.
const std::string learnedStatic = "DLH9UH*";

void writeEarlierLearnedFile(const UserComputer& computer) {
  const auto folder = computer.programFile("airports") / "learned" / "stock";
  fs::create_directories(folder);
  writeFile(folder / "EDDF.xml",
            fmt::format(fmt::runtime(earlierLearnedFile), userStand, optionsEveryHalfHour("D-AIUF", "DLH9UF:DLH9UG"),
                        learnedStand, optionsEveryHalfHour("D-AIUH", "DLH9UH:DLH9UJ")));
}

// The sample scenario with the user aircraft standing at the stand.
fs::path scenarioAtStand(const UserComputer& computer, const Stand& stand) {
  std::ifstream sample(sampleDataFolder() / "scenario.json");
  auto scenario = nlohmann::json::parse(sample);
  scenario["user"]["lat"] = stand.place.lat;
  scenario["user"]["lon"] = stand.place.lon;
  scenario["user"]["heading"] = stand.heading;
  const auto file = computer.workFile("scenario.json");
  writeFile(file, scenario.dump());
  return file;
}

// What one look at the simulator shows: where the user aircraft is, and the aircraft the program created standing at
// the stands of the sample airport (static ones by their callsigns ending in '*'), by tail number with their stand.
struct Look {
  LatLon user;
  bool userOnGround = false;
  std::size_t staticCount = 0;
  std::map<std::string, std::string> staticsAtStands;
  std::map<std::string, std::string> liveAtStands;
};

Look lookAt(const SimulatorState& state, const std::map<std::string, Stand>& stands) {
  Look look;
  look.user = {state.json["user"].value("lat", 0.0), state.json["user"].value("lon", 0.0)};
  look.userOnGround = state.json["user"].value("onGround", false);
  for (const auto& object : state.json.value("objects", nlohmann::json::array())) {
    if (object.value("createdBy", nlohmann::json{}) != "Corvalen") {
      continue;
    }
    const std::string tail = object.value("tail", "");
    const bool isStatic = tail.ends_with('*');
    look.staticCount += isStatic ? 1 : 0;
    if (const auto stand = standAt({object.value("lat", 0.0), object.value("lon", 0.0)}, stands)) {
      (isStatic ? look.staticsAtStands : look.liveAtStands)[tail] = *stand;
    }
  }
  return look;
}

// The tails of the aircraft at the stand.
std::set<std::string> tailsAt(const std::map<std::string, std::string>& atStands, const std::string& stand) {
  std::set<std::string> tails;
  for (const auto& [tail, at] : atStands) {
    if (at == stand) {
      tails.insert(tail);
    }
  }
  return tails;
}

bool learnedAt(const std::set<LearnedOption>& options, const std::string& stand, const std::string& registration) {
  return std::ranges::any_of(options, [&](const LearnedOption& option) {
    return option.stand == stand && option.registration == registration;
  });
}

TEST(UserFlightEndToEnd, TheStaticAircraftLeaveWithTheUserAndComeBackFromTheLearnedFileWhileItsStandStaysFree) {
  const auto recordingFile = sampleDataFolder() / "traffic.txt";
  const auto stands = sampleStands();
  ASSERT_TRUE(stands.contains(userStand) && stands.contains(learnedStand));
  const Stand& stand = stands.at(userStand);
  const auto traffic = standTrafficOf(rtemu::readRecording(recordingFile), stands);
  ASSERT_FALSE(traffic.parked.empty()) << "the recording parks no aircraft at a stand of the sample airport";
  const int servicePort = freeTcpPort();
  ASSERT_GT(servicePort, 0);
  const UserComputer computer{fmt::format(R"(<parameter name="PORT_NUMBER" value="{}"/>)", servicePort)};
  computer.installTrafficService();
  writeEarlierLearnedFile(computer);
  const auto earlierOptions = learnedOptions(computer.programFolder());

  ReplayRun run{computer, servicePort, recordingFile, {}, {}, scenarioAtStand(computer, stand)};
  ASSERT_FALSE(run.simulatorPort.empty());

  std::vector<Look> looks;
  const auto look = [&] {
    if (const auto state = run.nextState()) {
      looks.push_back(lookAt(*state, stands));
    }
  };
  // The program has placed the static aircraft it chose: some shown, and no more for a few looks.
  const auto staticsSettled = [&](std::size_t since) {
    return looks.size() >= since + settledLooks && looks.back().staticCount > 0 &&
           std::all_of(looks.end() - settledLooks, looks.end(),
                       [&](const Look& each) { return each.staticCount == looks.back().staticCount; });
  };
  const auto fly = [&](const Route& route) {
    for (const Point& point : route.points()) {
      run.simulator.command(flyCommand(point));
      look();
    }
  };
  const auto logAfter = [&](const std::string& text, std::size_t from) {
    const auto log = computer.log();
    const auto found = log.find(text, from);
    return found == std::string::npos ? found : found + text.size();
  };

  // At the stand: the static aircraft stand around the user, the one of the learned file among them, and the live
  // aircraft that the recording keeps parked stand at their stands. The user's stand stays free, and the program
  // learns it as the user's.
  ASSERT_TRUE(computer.logShows("User aircraft on the ground at EDDF", startLimit)) << computer.log();
  const bool parked = waitUntil(
      [&] {
        look();
        return staticsSettled(0) && std::ranges::all_of(traffic.parked, [&](const auto& aircraft) {
                 return looks.back().liveAtStands.contains(aircraft.first);
               });
      },
      parkedLimit);
  ASSERT_TRUE(parked) << computer.log();
  const Look beforeTakeOff = looks.back();
  EXPECT_EQ(tailsAt(beforeTakeOff.staticsAtStands, learnedStand), std::set<std::string>{learnedStatic});
  EXPECT_TRUE(tailsAt(beforeTakeOff.staticsAtStands, userStand).empty());
  const auto parkAirports = computer.programFile("airports") / "my_park_airports.txt";
  EXPECT_EQ(readFile(parkAirports), fmt::format("EDDF,{}\n", userStand));

  // Off to EDFB: the sample airport goes out of sight; its learned file is saved with what it was read with and what
  // the stands held, and every aircraft at its stands goes from the simulator: the static ones, which no park airport
  // owns any more, and the live ones, which no stand owns.
  const Route out = departure(stand);
  fly(out);
  ASSERT_TRUE(computer.logShows("EDDF (FRA) is out of sight", changeLimit)) << computer.log();
  const auto leftAt = logAfter("EDDF (FRA) is out of sight", 0);
  ASSERT_TRUE(waitUntil([&] { return logAfter("EDDF.xml' saved with", leftAt) != std::string::npos; }, changeLimit))
      << computer.log();
  const auto saved = learnedOptions(computer.programFolder());
  EXPECT_TRUE(std::ranges::includes(saved, earlierOptions)) << "the saved learned file lost options it was read with";
  for (const auto& [tail, parkedAt] : traffic.parked) {
    EXPECT_TRUE(learnedAt(saved, parkedAt, traffic.registrations.at(tail)))
        << tail << " is not learned at " << parkedAt;
  }
  const auto standingSinceTakeOff = [&](const Look& each) {
    std::map<std::string, std::string> standing;
    for (const auto& [tail, at] : each.liveAtStands) {
      if (beforeTakeOff.liveAtStands.contains(tail)) {
        standing[tail] = at;
      }
    }
    return standing;
  };
  const std::size_t leaving = looks.size();
  const bool cleared = waitUntil(
      [&] {
        look();
        return looks.back().staticCount == 0 && standingSinceTakeOff(looks.back()).empty();
      },
      changeLimit);
  EXPECT_TRUE(cleared) << fmt::format("still in the simulator: {} static aircraft, live ones at the stands: {}",
                                      looks.back().staticCount, fmt::join(standingSinceTakeOff(looks.back()), ", "));

  // Back to the sample airport: in sight again, its airport file is read with the learned file, and the static
  // aircraft are placed again while the user lands and taxis to the stand it left, which no aircraft takes meanwhile.
  const auto lookUntilLoggedSinceLeaving = [&](const std::string& text) {
    return waitUntil(
        [&] {
          look();
          return logAfter(text, leftAt) != std::string::npos;
        },
        changeLimit);
  };
  const std::size_t away = looks.size();
  const Route back = returnFlight(out.end());
  fly(back);
  ASSERT_TRUE(lookUntilLoggedSinceLeaving("EDDF in sight at")) << computer.log();
  const std::size_t inSight = looks.size();
  ASSERT_TRUE(lookUntilLoggedSinceLeaving("Read from learned airport file")) << computer.log();
  fly(landing(back.end(), stand));
  const std::size_t landed = looks.size();
  ASSERT_TRUE(waitUntil(
      [&] {
        look();
        return staticsSettled(landed);
      },
      parkedLimit))
      << computer.log();
  run.program.signal(SIGTERM);
  EXPECT_EQ(run.program.waitForExit(endLimit), 0);

  // Nothing of the sample airport came back to the simulator until it was in sight again.
  for (std::size_t each = away; each < inSight; ++each) {
    EXPECT_EQ(looks[each].staticCount, 0U) << "look " << each - leaving << " after leaving";
    EXPECT_TRUE(standingSinceTakeOff(looks[each]).empty())
        << fmt::format("back while the user is away: {}", fmt::join(standingSinceTakeOff(looks[each]), ", "));
  }
  const Look& home = looks.back();
  EXPECT_LE(metresBetween(home.user, stand.place), standReachMetres);
  EXPECT_TRUE(home.userOnGround);
  EXPECT_EQ(tailsAt(home.staticsAtStands, learnedStand), std::set<std::string>{learnedStatic});
  for (std::size_t each = inSight; each < looks.size(); ++each) {
    EXPECT_TRUE(tailsAt(looks[each].staticsAtStands, userStand).empty())
        << fmt::format("{} at the user's stand", fmt::join(tailsAt(looks[each].staticsAtStands, userStand), ", "));
    EXPECT_TRUE(tailsAt(looks[each].liveAtStands, userStand).empty())
        << fmt::format("{} at the user's stand", fmt::join(tailsAt(looks[each].liveAtStands, userStand), ", "));
  }
}

}  // namespace
}  // namespace cvl::test
