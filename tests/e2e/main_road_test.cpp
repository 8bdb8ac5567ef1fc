#include <fmt/format.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "emulator_process.h"
#include "foundation/geometry.h"
#include "program_process.h"
#include "rtemu/recording.h"
#include "support/sample_data.h"
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
constexpr auto samplePause = 500ms;

// A departure whose reports stop early in the test's recording, a departure that climbs out of the range, and a
// callsign the user has blocked; all three take off from the sample airport in the first minutes.
const std::string silenced = "DLH1404";
constexpr double silencedAfter = 30.0;
const std::string leaving = "DLH400";
const std::string blocked = "TUI1KX";

// Where the position of an aircraft is compared with its track: fast enough to tell 30 s from 20 or 40 s behind.
constexpr double comparedSpeedKnots = 150.0;
constexpr double positionToleranceNm = 0.4;

struct Report {
  double offset = 0.0;
  LatLon place;
  double groundSpeed = 0.0;
};
using Track = std::vector<Report>;

// The fields of a traffic datagram: 2 latitude, 3 longitude, 8 ground speed, 9 callsign.
std::vector<std::string> fieldsOf(std::string_view payload) {
  std::vector<std::string> fields;
  for (std::size_t start = 0;;) {
    const auto comma = payload.find(',', start);
    fields.emplace_back(payload.substr(start, comma - start));
    if (comma == std::string_view::npos) {
      return fields;
    }
    start = comma + 1;
  }
}

std::map<std::string, Track> tracksOf(const std::vector<rtemu::RecordedDatagram>& recording) {
  std::map<std::string, Track> tracks;
  for (const auto& datagram : recording) {
    if (datagram.kind != rtemu::DatagramKind::traffic) {
      continue;
    }
    const auto fields = fieldsOf(datagram.payload);
    tracks[fields.at(9)].push_back(
        {datagram.offsetSeconds, {std::stod(fields.at(2)), std::stod(fields.at(3))}, std::stod(fields.at(8))});
  }
  return tracks;
}

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

// The sample recording with the reports of one callsign cut off after the offset, written as rtemu reads it.
std::string recordingWithout(const std::vector<rtemu::RecordedDatagram>& recording, const std::string& callsign,
                             double after) {
  std::string text;
  for (const auto& datagram : recording) {
    const bool traffic = datagram.kind == rtemu::DatagramKind::traffic;
    if (traffic && datagram.offsetSeconds > after && fieldsOf(datagram.payload).at(9) == callsign) {
      continue;
    }
    text += fmt::format("{} {} {}\n", datagram.offsetSeconds, traffic ? "traffic" : "weather", datagram.payload);
  }
  return text;
}

// A loopback TCP port that nothing listens on now; 0 when none could be found.
int freeTcpPort() {
  const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  const bool bound = probe >= 0 && ::bind(probe, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
                     ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0;
  if (probe >= 0) {
    ::close(probe);
  }
  return bound ? ntohs(address.sin_port) : 0;
}

// The live aircraft in the simulator at one moment (seconds since the replay's start), by tail number.
struct Sample {
  double offset = 0.0;
  std::map<std::string, LatLon> aircraft;
};

// What the test saw of the live aircraft, moment by moment.
class Watch {
 public:
  // A state already seen (the emulator writes one a second) is taken once.
  void add(Sample sample) {
    if (samples_.empty() || samples_.back().offset != sample.offset) {
      samples_.push_back(std::move(sample));
    }
  }

  bool seen(const std::string& tail) const {
    return std::any_of(samples_.begin(), samples_.end(), [&](const Sample& s) { return s.aircraft.contains(tail); });
  }
  // The last moment the aircraft was there, and the first moment it was gone for good.
  std::optional<double> lastSeen(const std::string& tail) const {
    const auto last =
        std::find_if(samples_.rbegin(), samples_.rend(), [&](const Sample& s) { return s.aircraft.contains(tail); });
    return last == samples_.rend() ? std::nullopt : std::optional{last->offset};
  }
  std::optional<double> goneAt(const std::string& tail) const {
    const auto last =
        std::find_if(samples_.rbegin(), samples_.rend(), [&](const Sample& s) { return s.aircraft.contains(tail); });
    if (last == samples_.rend() || last == samples_.rbegin()) {
      return std::nullopt;
    }
    return (last - 1)->offset;
  }
  std::set<std::string> tails() const {
    std::set<std::string> all;
    for (const auto& sample : samples_) {
      for (const auto& [tail, place] : sample.aircraft) {
        all.insert(tail);
      }
    }
    return all;
  }
  const std::vector<Sample>& samples() const { return samples_; }

 private:
  std::vector<Sample> samples_;
};

// The aircraft the program created, without the static ones (whose callsigns end in '*').
Sample liveAircraftIn(const SimulatorState& state, std::chrono::system_clock::time_point replayStart) {
  Sample sample{std::chrono::duration<double>(state.written - replayStart).count(), {}};
  for (const auto& object : state.json.value("objects", nlohmann::json::array())) {
    const std::string tail = object.value("tail", "");
    if (object.value("createdBy", nlohmann::json{}) == "Corvalen" && !tail.empty() && !tail.ends_with('*')) {
      sample.aircraft[tail] = {object.value("lat", 0.0), object.value("lon", 0.0)};
    }
  }
  return sample;
}

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
    for (const auto& [tail, place] : moment.aircraft) {
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
      const double off = gf_distanceNM(place, due->place);
      ++following.compared;
      if (off <= positionToleranceNm && off < gf_distanceNM(place, sooner->place) &&
          off < gf_distanceNM(place, later->place)) {
        ++following.followed;
      } else {
        following.misses += fmt::format("{} at {:.1f} s: {:.3f} NM off\n", tail, moment.offset, off);
      }
    }
  }
  return following;
}

// The simulator emulator with the sample scenario (the user's A320 on a stand at Frankfurt), the traffic-service
// emulator replaying the sample recording, and the installed program between them, each a process of its own.
TEST(MainRoadEndToEnd, LiveTrafficFliesInTheSimulatorThirtySecondsBehindUntilItIsLost) {
  const auto recording = rtemu::readRecording(sampleDataFolder() / "traffic.txt");
  const auto tracks = tracksOf(recording);
  ASSERT_TRUE(tracks.contains(silenced) && tracks.contains(leaving) && tracks.contains(blocked));
  const int servicePort = freeTcpPort();
  ASSERT_GT(servicePort, 0);
  const UserComputer computer{
      fmt::format(R"(<parameter name="PORT_NUMBER" value="{}"/><parameter name="BLOCK_CALLSIGN" value="{}"/>)",
                  servicePort, blocked)};
  computer.installTrafficService();
  const auto recordingFile = computer.workFile("traffic.txt");
  writeFile(recordingFile, recordingWithout(recording, silenced, silencedAfter));
  const auto received = computer.workFile("rtemu-received.txt");

  const auto stateFile = computer.workFile("simemu-state.json");
  auto simulator = startSampleSimulator(stateFile);
  const std::string simulatorPort = listeningPort(simulator);
  ASSERT_FALSE(simulatorPort.empty());
  auto program = computer.startProgram({}, {{"CORVALEN_SIM_PORT", simulatorPort}});
  // The replay starts at once: what it sends before the program listens is lost, as over a real network.
  const auto replayStart = std::chrono::system_clock::now();
  EmulatorProcess service{RTEMU_PROGRAM,
                          {"--port", std::to_string(servicePort), "--replay", recordingFile.string(), "--start-now",
                           "--log", received.string()}};

  Watch watch;
  LatLon user;
  waitUntil(
      [&] {
        std::this_thread::sleep_for(samplePause);
        const auto state = readSimulatorState(stateFile);
        if (!state) {
          return false;
        }
        user = {state->json["user"].value("lat", 0.0), state->json["user"].value("lon", 0.0)};
        watch.add(liveAircraftIn(*state, replayStart));
        return watch.goneAt(silenced) && watch.goneAt(leaving);
      },
      runLimit);
  program.signal(SIGTERM);
  EXPECT_EQ(program.waitForExit(endLimit), 0);
  const auto log = computer.log();

  // Created with the callsigns of the recording as tail numbers; the blocked one never.
  const auto tails = watch.tails();
  EXPECT_GE(tails.size(), 8U) << log;
  for (const auto& tail : tails) {
    EXPECT_TRUE(tracks.contains(tail)) << tail;
  }
  EXPECT_FALSE(watch.seen(blocked));

  // The program flies them on what it was given.
  const auto following = compareWithTracks(watch, tracksOf(rtemu::readRecording(recordingFile)));
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

  // The traffic service was told where the user flies.
  EXPECT_NE(readFile(received).find("Qs121="), std::string::npos);
}

}  // namespace
}  // namespace cvl::test
