#include <fmt/format.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/painting.h"
#include "emulator_process.h"
#include "foundation/geometry.h"
#include "program_process.h"
#include "replay_run.h"
#include "rtemu/recording.h"
#include "support/sample_data.h"
#include "support/screenshot.h"
#include "traffic_watch.h"
#include "user_computer.h"

namespace cvl::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The program shows each aircraft where the traffic service saw it this long ago.
constexpr double delaySeconds = 30.0;
// The automatic traffic range while the user aircraft stands on the ground.
constexpr double groundRangeNm = 10.0;
// From the replay's start, long enough for the last change the test waits for (an aircraft whose reports stop is
// flown on for about a minute on made-up positions before it goes).
constexpr auto runLimit = 240s;
constexpr auto endLimit = 60s;

// A departure that lifts off as the recording starts and whose reports stop early in the test's recording, a departure
// that climbs out of the range, and a callsign the user has blocked; all three take off from the sample airport in the
// first minutes.
const std::string silenced = "DLH1404";
constexpr double silencedAfter = 30.0;
const std::string leaving = "DLH400";
const std::string blocked = "TUI1KX";

// An aircraft the test adds to the recording: it taxis west along the row of stand A17 of the sample airport file,
// which faces south and which the recording leaves free, and stops 10 m short of it, so that it drives onto the stand
// 90 degrees off the stand's heading.
const std::string arriving = "DLH9PK";
constexpr LatLon arrivingStand{50.049, 8.5683};
constexpr double feetPerMetre = 3.28084;
// A parked aircraft's heading in the simulator differs from its stand's by this many degrees at most.
constexpr double standHeadingTolerance = 2.0;

// Where the position of an aircraft is compared with its track: fast enough to tell 30 s from 20 or 40 s behind.
constexpr double comparedSpeedKnots = 150.0;
constexpr double positionToleranceNm = 0.4;

// The track's place at the offset, between the two reports around it; nothing outside the track.
std::optional<Report> reportAt(const Track& track, double offset) {
  const auto after = std::find_if(track.begin(), track.end(), [offset](const Report& r) { return r.offset >= offset; });
  if (after == track.end() || (after == track.begin() && after->offset > offset)) {
    return std::nullopt;
  }
  if (after->offset == offset) {
    return *after;
  }
  const Report& before = *(after - 1);
  const double share = (offset - before.offset) / (after->offset - before.offset);
  return Report{offset,
                {before.place.lat + share * (after->place.lat - before.place.lat),
                 before.place.lon + share * (after->place.lon - before.place.lon)},
                before.groundSpeed + share * (after->groundSpeed - before.groundSpeed)};
}

// The reports of the arriving aircraft: 150 m east of its stand at 10 kt, every 3 s until it stops 10 m short of it at
// 30 s, then every 10 s where it stands. Their data times follow those of the sample recording.
std::vector<rtemu::RecordedDatagram> arrivalReports(const std::vector<rtemu::RecordedDatagram>& recording) {
  const auto first = std::find_if(recording.begin(), recording.end(), [](const rtemu::RecordedDatagram& datagram) {
    return datagram.kind == rtemu::DatagramKind::traffic;
  });
  const double dataTimeAtStart = std::stod(fieldsOf(first->payload).at(14)) - first->offsetSeconds;
  constexpr double metresPerSecond = 10.0 * 1852.0 / 3600.0;
  std::vector<rtemu::RecordedDatagram> reports;
  for (double offset = 3.0; offset <= 300.0; offset += offset < 30.0 ? 3.0 : 10.0) {
    const bool moving = offset < 30.0;
    const double metresEast = moving ? 150.0 - metresPerSecond * (offset - 3.0) : 10.0;
    const LatLon place = gf_destinationPoint(arrivingStand, 90.0 * degreesToRadians, metresEast * feetPerMetre);
    reports.push_back({offset, rtemu::DatagramKind::traffic,
                       fmt::format("TFC,3958101,{:.6f},{:.6f},0,0,0,270.0,{},{},A320,D-AIZD,MUC,FRA,{:.1f},0,0,"
                                   "adsb_icao,0,0,-1,0,0,-1,0,270.0,0,0,A3",
                                   place.lat, place.lon, moving ? 10 : 0, arriving, dataTimeAtStart + offset)});
  }
  return reports;
}

// The recording the test plays: the sample's, with the reports of the silenced aircraft cut off after silencedAfter
// and those of the arriving aircraft added.
std::vector<rtemu::RecordedDatagram> playedRecording(const std::vector<rtemu::RecordedDatagram>& recording) {
  std::vector<rtemu::RecordedDatagram> played;
  std::copy_if(recording.begin(), recording.end(), std::back_inserter(played), [](const auto& datagram) {
    return datagram.kind != rtemu::DatagramKind::traffic || datagram.offsetSeconds <= silencedAfter ||
           fieldsOf(datagram.payload).at(9) != silenced;
  });
  std::ranges::copy(arrivalReports(recording), std::back_inserter(played));
  std::ranges::stable_sort(played, {}, &rtemu::RecordedDatagram::offsetSeconds);
  return played;
}

// The recording as rtemu reads it.
std::string recordingText(const std::vector<rtemu::RecordedDatagram>& recording) {
  std::string text;
  for (const auto& datagram : recording) {
    const bool traffic = datagram.kind == rtemu::DatagramKind::traffic;
    text += fmt::format("{} {} {}\n", datagram.offsetSeconds, traffic ? "traffic" : "weather", datagram.payload);
  }
  return text;
}

// A loopback UDP port held by the test until it lets go of it, so that the program cannot bind it meanwhile.
class HeldUdpPort {
 public:
  // Closed on exec: the processes the test starts must not hold it too.
  explicit HeldUdpPort(std::uint16_t port) : socket_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    held_ = socket_ >= 0 && ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~HeldUdpPort() { letGo(); }
  HeldUdpPort(const HeldUdpPort&) = delete;
  HeldUdpPort& operator=(const HeldUdpPort&) = delete;

  bool held() const { return held_; }
  void letGo() {
    if (socket_ >= 0) {
      ::close(socket_);
      socket_ = -1;
    }
  }

 private:
  int socket_;
  bool held_ = false;
};

// The static parked aircraft the program created (callsigns ending in '*'), and those of them seen off the ground: its
// reference point more than a foot from the ground's height.
struct StaticAircraft {
  std::set<std::string> seen;
  std::set<std::string> offGround;

  void add(const SimulatorState& state) {
    for (const auto& object : state.json.value("objects", nlohmann::json::array())) {
      const std::string tail = object.value("tail", "");
      if (object.value("createdBy", nlohmann::json{}) != "Corvalen" || !tail.ends_with('*')) {
        continue;
      }
      seen.insert(tail);
      if (!object.value("onGround", false) || std::abs(object.value("altAboveGround", 0.0)) > 1.0) {
        offGround.insert(fmt::format("{} at {:.0f} ft", tail, object.value("alt", 0.0)));
      }
    }
  }
};

// How the positions of the aircraft compare with the tracks they were given, where they fly fast.
struct Following {
  std::size_t compared = 0;
  std::size_t followed = 0;
  std::string misses;
};

// A position follows its track when it is the track's of 30 s before, nearer to it than to the track's of 20 or 40 s
// before.
Following compareWithTracks(const Watch& watch, const std::map<std::string, Track>& tracks) {
  Following following;
  for (const auto& moment : watch.samples()) {
    for (const auto& [tail, shown] : moment.aircraft) {
      const auto track = tracks.find(tail);
      if (track == tracks.end()) {
        continue;
      }
      const auto due = reportAt(track->second, moment.offset - delaySeconds);
      const auto sooner = reportAt(track->second, moment.offset - delaySeconds + 10.0);
      const auto later = reportAt(track->second, moment.offset - delaySeconds - 10.0);
      if (!due || !sooner || !later || due->groundSpeed < comparedSpeedKnots) {
        continue;
      }
      const double off = gf_distanceNM(shown.place, due->place);
      ++following.compared;
      if (off <= positionToleranceNm && off < gf_distanceNM(shown.place, sooner->place) &&
          off < gf_distanceNM(shown.place, later->place)) {
        ++following.followed;
      } else {
        following.misses += fmt::format("{} at {:.1f} s: {:.3f} NM off\n", tail, moment.offset, off);
      }
    }
  }
  return following;
}

// The simulator emulator with the sample scenario (the user's A320 on the ground at Frankfurt, on none of its
// stands), the traffic-service emulator replaying the sample recording (one aircraft silenced early, one added that
// taxis onto a stand), and the installed program between them, each a process of its own.
TEST(MainRoadEndToEnd, LiveTrafficFliesInTheSimulatorThirtySecondsBehindUntilItIsLostOrParks) {
  const auto played = playedRecording(rtemu::readRecording(sampleDataFolder() / "traffic.txt"));
  const auto tracks = tracksOf(played);
  ASSERT_TRUE(tracks.contains(silenced) && tracks.contains(leaving) && tracks.contains(blocked));
  const int servicePort = freeTcpPort();
  ASSERT_GT(servicePort, 0);
  const UserComputer computer{
      fmt::format(R"(<parameter name="PORT_NUMBER" value="{}"/><parameter name="BLOCK_CALLSIGN" value="{}"/>)",
                  servicePort, blocked)};
  computer.installTrafficService();
  const auto recordingFile = computer.workFile("traffic.txt");
  writeFile(recordingFile, recordingText(played));
  const auto received = computer.workFile("rtemu-received.txt");

  ReplayRun run{computer, servicePort, recordingFile, {"--log", received.string()}};
  ASSERT_FALSE(run.simulatorPort.empty());

  Watch watch;
  StaticAircraft parked;
  LatLon user;
  waitUntil(
      [&] {
        const auto state = run.nextState();
        if (!state) {
          return false;
        }
        user = {state->json["user"].value("lat", 0.0), state->json["user"].value("lon", 0.0)};
        watch.add(liveAircraftIn(*state, run.replayStart));
        parked.add(*state);
        const auto arrivals = arrivalsIn(computer.log());
        return watch.goneAt(silenced) && watch.goneAt(leaving) && arrivals.contains(arriving) &&
               std::ranges::all_of(
                   arrivals, [&](const auto& arrival) { return watch.settledHeading(arrival.first).has_value(); });
      },
      runLimit);
  run.program.signal(SIGTERM);
  EXPECT_EQ(run.program.waitForExit(endLimit), 0);
  const auto log = computer.log();

  // Created with the callsigns of the recording as tail numbers; the blocked one never.
  const auto tails = watch.tails();
  EXPECT_GE(tails.size(), 8U) << log;
  for (const auto& tail : tails) {
    EXPECT_TRUE(tracks.contains(tail)) << tail;
  }
  EXPECT_FALSE(watch.seen(blocked));

  // The program flies them on what it was given.
  const auto following = compareWithTracks(watch, tracks);
  EXPECT_GE(following.compared, 30U);
  EXPECT_GE(following.followed * 10, following.compared * 9) << following.misses;

  // The aircraft whose reports stop flies on to the end of what it was given, then goes.
  ASSERT_TRUE(watch.goneAt(silenced)) << log;
  EXPECT_GT(*watch.lastSeen(silenced), silencedAfter + delaySeconds);

  // The aircraft that climbs out of the range goes when its shown position reaches the edge, while it still reports.
  const auto leftAt = watch.goneAt(leaving);
  ASSERT_TRUE(leftAt) << log;
  const auto shownWhenGone = reportAt(tracks.at(leaving), *leftAt - delaySeconds);
  ASSERT_TRUE(shownWhenGone);
  EXPECT_GE(gf_distanceNM(user, shownWhenGone->place), groundRangeNm - 1.0);
  EXPECT_GT(tracks.at(leaving).back().offset, *leftAt);

  // The aircraft that parked during the run face their stands, however they drove onto them.
  const auto arrivals = arrivalsIn(log);
  EXPECT_TRUE(arrivals.contains(arriving)) << log;
  const auto stands = sampleStands();
  for (const auto& [callsign, stand] : arrivals) {
    const auto heading = watch.settledHeading(callsign);
    ASSERT_TRUE(heading && stands.contains(stand)) << callsign << " at " << stand;
    EXPECT_LE(std::abs(std::remainder(*heading - stands.at(stand).heading, 360.0)), standHeadingTolerance)
        << callsign << " at " << stand << " shows " << *heading;
  }

  // The static parked aircraft stand on the ground.
  EXPECT_FALSE(parked.seen.empty()) << log;
  EXPECT_TRUE(parked.offGround.empty()) << fmt::format("{}", fmt::join(parked.offGround, ", "));

  // The traffic service was told where the user flies.
  EXPECT_NE(readFile(received).find("Qs121="), std::string::npos);
}

// The traffic reader's port, which the program binds at the start of each run.
constexpr std::uint16_t trafficPort = 49005;
constexpr auto readerErrorLimit = 120s;
// The new cycle shows the flights again within a minute of its start.
constexpr auto flightsBackLimit = 60s;
constexpr std::size_t flightsBack = 3;
constexpr const char* restartScreenshotVariable = "CORVALEN_TEST_RESTART_SCREENSHOT";

// The inner part of MainRoadEndToEnd.AReaderErrorRestartsTheRunAndTheFlightsComeBackWithinAMinute, on a virtual
// display: the program shows its real window, and a screenshot of it is taken once the flights are back.
TEST(RestartOnDisplay, TheFlightsComeBackAfterAReaderError) {
  const char* screenshot = std::getenv(restartScreenshotVariable);
  if (screenshot == nullptr) {
    GTEST_SKIP() << "runs inside MainRoadEndToEnd.AReaderErrorRestartsTheRunAndTheFlightsComeBackWithinAMinute";
  }
  const auto tracks = tracksOf(rtemu::readRecording(sampleDataFolder() / "traffic.txt"));
  const int servicePort = freeTcpPort();
  ASSERT_GT(servicePort, 0);
  const UserComputer computer{fmt::format(R"(<parameter name="PORT_NUMBER" value="{}"/>)", servicePort)};
  computer.installTrafficService();
  // The traffic reader of the first run cannot bind its port and fails: the program restarts with READER ERROR.
  HeldUdpPort heldTrafficPort{trafficPort};
  ASSERT_TRUE(heldTrafficPort.held());

  ReplayRun run{computer, servicePort, sampleDataFolder() / "traffic.txt", {}, {{"CORVALEN_UI", "fltk"}}};
  ASSERT_FALSE(run.simulatorPort.empty());

  ASSERT_TRUE(computer.logShows("Exiting: READER ERROR\n", readerErrorLimit)) << computer.log();
  const double restartedAt = std::chrono::duration<double>(std::chrono::system_clock::now() - run.replayStart).count();
  heldTrafficPort.letGo();
  // The new cycle's start-up keeps the livery tables of the first one.
  ASSERT_TRUE(computer.logShows("Processing scanned liveries skipped", readerErrorLimit)) << computer.log();

  Watch watch;
  const bool back = waitUntil(
      [&] {
        if (const auto state = run.nextState()) {
          watch.add(liveAircraftIn(*state, run.replayStart));
        }
        return !watch.samples().empty() && watch.samples().back().aircraft.size() >= flightsBack;
      },
      flightsBackLimit);
  EXPECT_EQ(runProgram({"xwd", "-silent", "-name", "Corvalen", "-out", screenshot}), 0);
  run.program.signal(SIGTERM);
  EXPECT_EQ(run.program.waitForExit(endLimit), 0);
  const auto log = computer.log();

  ASSERT_TRUE(back) << "the flights in the simulator: " << watch.tails().size() << "\n" << log;
  // The flights of the traffic that flowed before the restart.
  for (const auto& [tail, place] : watch.samples().back().aircraft) {
    ASSERT_TRUE(tracks.contains(tail)) << tail;
    EXPECT_LT(tracks.at(tail).front().offset, restartedAt) << tail;
  }
  EXPECT_NE(log.find("The Traffic Reader has stopped with error: bind"), std::string::npos) << log;
}

// A reader error restarts the run while traffic flows; the new cycle shows the flights in the simulator again within a
// minute of its start, and its header counts the liveries it kept.
TEST(MainRoadEndToEnd, AReaderErrorRestartsTheRunAndTheFlightsComeBackWithinAMinute) {
  if (const char* tool = missingScreenshotTool()) {
    GTEST_SKIP() << tool << " is not installed";
  }
  const TempFolder folder;
  const auto screenshot = folder.path() / "restart.xwd";
  ASSERT_EQ(runSelfOnVirtualDisplay("RestartOnDisplay.TheFlightsComeBackAfterAReaderError", "1024x768x24",
                                    restartScreenshotVariable, screenshot),
            0);
  // Kept beside the test program, for a person to look at.
  const auto self = fs::read_symlink("/proc/self/exe");
  EXPECT_EQ(runProgram({"convert", screenshot.string(), (self.parent_path() / "e2e_restart_screenshot.png").string()}),
            0);
  ASSERT_EQ(runProgram({"convert", screenshot.string(), "-depth", "8", (folder.path() / "restart.ppm").string()}), 0);
  const Picture picture = readPpm(folder.path() / "restart.ppm");
  ASSERT_GT(picture.width, 0);

  // "# liveries: n" is drawn in green at (5, 91) while the tables hold liveries, "# liveries: ..." in red otherwise.
  int greenPixels = 0;
  int redPixels = 0;
  for (int y = 86; y < 110 && y < picture.height; ++y) {
    for (int x = 0; x < 138 && x < picture.width; ++x) {
      greenPixels += picture.at(x, y) == green ? 1 : 0;
      redPixels += picture.at(x, y) == red ? 1 : 0;
    }
  }
  EXPECT_GT(greenPixels, 0);
  EXPECT_EQ(redPixels, 0);
}

}  // namespace
}  // namespace cvl::test
