#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "emulator_process.h"
#include "foundation/geometry.h"
#include "rtemu/recording.h"

// What the end-to-end tests compare: the traffic a recording reports, and the live aircraft the simulator emulator
// shows moment by moment.
namespace cvl::test {

// One report of an aircraft: when (seconds from the recording's start), where, how fast (kt).
struct Report {
  double offset = 0.0;
  LatLon place;
  double groundSpeed = 0.0;
};
using Track = std::vector<Report>;

// The fields of a traffic datagram: 2 latitude, 3 longitude, 8 ground speed, 9 callsign, 11 registration.
std::vector<std::string> fieldsOf(std::string_view payload);

// The name the program gives an aircraft, and so its tail number in the simulator: its callsign, else its
// registration.
std::string tailOf(const std::vector<std::string>& fields);

// The reports of the recording by tail number.
std::map<std::string, Track> tracksOf(const std::vector<rtemu::RecordedDatagram>& recording);

// A loopback TCP port that nothing listens on now; 0 when none could be found.
int freeTcpPort();

// A stand of the sample airport file: where it is and which way its aircraft face (degrees).
struct Stand {
  LatLon place;
  double heading = 0.0;
};
std::map<std::string, Stand> sampleStands();

inline constexpr double metresPerNauticalMile = 1852.0;
double metresBetween(const LatLon& a, const LatLon& b);
// An aircraft stands at a stand when its reference point lies this near the stand's.
inline constexpr double standReachMetres = 5.0;
// The stand a place lies at, if any.
std::optional<std::string> standAt(const LatLon& place, const std::map<std::string, Stand>& stands);

// What the recording tells of the aircraft at the stands, by tail number: those parked all the time, those that stand
// at their stand first and then leave it, those that come to their stand and stay, and every registration.
struct StandTraffic {
  std::map<std::string, std::string> parked;
  std::map<std::string, std::string> departing;
  std::map<std::string, std::string> arriving;
  std::map<std::string, std::string> registrations;
};
StandTraffic standTrafficOf(const std::vector<rtemu::RecordedDatagram>& recording,
                            const std::map<std::string, Stand>& stands);

// The aircraft that arrived at a stand, by callsign, with the stand's name, from log lines such as
// "A23     : DLH9PK   arrived at stand".
std::map<std::string, std::string> arrivalsIn(const std::string& log);

// An option of the learned files: its stand, registration and callsigns ("ARRIVING:DEPARTING").
struct LearnedOption {
  std::string stand;
  std::string registration;
  std::string callsigns;
  auto operator<=>(const LearnedOption&) const = default;
};
// The options of every learned file in the program folder.
std::set<LearnedOption> learnedOptions(const std::filesystem::path& programFolder);

// Where the simulator shows a live aircraft, and its heading in degrees.
struct Shown {
  LatLon place;
  double heading = 0.0;
};

// The live aircraft in the simulator at one moment (seconds since the replay's start), by tail number.
struct Sample {
  double offset = 0.0;
  std::map<std::string, Shown> aircraft;
};

// The aircraft the program created, without the static ones (whose callsigns end in '*').
Sample liveAircraftIn(const SimulatorState& state, std::chrono::system_clock::time_point replayStart);

// What the test saw of the live aircraft, moment by moment.
class Watch {
 public:
  // A state already seen (the emulator writes one a second) is taken once.
  void add(Sample sample);

  bool seen(const std::string& tail) const;
  // The last moment the aircraft was there, and the first moment it was gone for good.
  std::optional<double> lastSeen(const std::string& tail) const;
  std::optional<double> goneAt(const std::string& tail) const;
  std::set<std::string> tails() const;
  // The aircraft's heading in the last two moments it was there, when it was the same in both.
  std::optional<double> settledHeading(const std::string& tail) const;
  const std::vector<Sample>& samples() const { return samples_; }

 private:
  std::vector<Sample> samples_;
};

}  // namespace cvl::test
