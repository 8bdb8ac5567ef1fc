#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "foundation/geometry.h"
#include "trafficin/timed_position.h"
#include "trafficin/traffic_item.h"
#include "trafficin/udp_reader.h"

// The receiver of the traffic service's traffic datagrams and its line parser. Each datagram is one aircraft report,
// a line of comma-separated fields; an accepted report becomes a traffic item in the traffic queue. The parser runs
// on the reader's thread; the worker thread tells it where the user and the park airport are.
namespace cvl {

// A park airport as the parser needs it: where it is (degrees) and its elevation (feet).
struct ParkAirportPlace {
  LatLon position;
  double elevation = 0.0;
};

class TrafficReader : public UdpReader {
 public:
  TrafficReader();

  // Splits the datagram into fields and parses it. Ignores datagrams of vehicles and lines too short to be reports.
  void onDatagram() override;
  void onStopped() override;

  // Parses `fields` and queues at most one item; every failure is logged here and drops the line.
  void processLineSub();
  // Field checks; false drops the line without a word. lf_checkAltitude throws when the altitude is not a number.
  bool lf_checkRegistration(TrafficItem& item);
  bool lf_checkAltitude(TimedPosition& position);
  bool lf_checkCallsign(TrafficItem& item);

  // The centre of the traffic range (the user's position), set by the worker at the start of a run and every 15 s.
  void setRefPosition(const LatLon& position);
  LatLon refPosition() const;
  // The park airport's elevation once its airport file has been read; none without a park airport.
  void setRefElevation(std::optional<double> elevation);
  std::optional<double> refElevation() const;
  // The park airport in use; none when there is none.
  void setParkAirport(std::optional<ParkAirportPlace> airport);

  // The callsigns recorded while recordCallsigns is set.
  std::unordered_set<std::string> callsignsSeen() const;
  void clearCallsignsSeen();

  // Views into the datagram, one per field.
  std::vector<std::string_view> fields;
  // Switches the recording of callsigns on.
  std::atomic<bool> recordCallsigns{false};
  // The "timestamp" field of the last traffic line read, in seconds since 1970-01-01 UTC; 0 until the first one.
  std::atomic<double> latestTime{0.0};
  // hPa, written by the weather reader.
  std::atomic<std::int32_t> qnh{1013};

 private:
  // What the worker thread tells the parser about the world, taken whole for each line.
  struct Surroundings {
    LatLon refPosition;
    std::optional<double> refElevation;
    std::optional<ParkAirportPlace> parkAirport;
  };

  std::string_view datagram() const { return {data, length}; }
  void parseLine(TrafficItem& item);
  void lf_recordCallsign(std::string_view callsign);
  static void lf_handOver(TrafficItem& item);

  // Guards surroundings_ and callsignsSeen_.
  mutable std::mutex mutex_;
  Surroundings surroundings_;
  std::unordered_set<std::string> callsignsSeen_;
  // The surroundings of the line being parsed (reader thread only).
  Surroundings line_;
};

extern TrafficReader trafficReader;

// Set when the traffic service reported its professional edition; its data time then drives the traffic clock.
extern std::atomic<bool> rtProfessional;

// "null" as the empty text; any other text copied.
std::string lf_nullToEmpty(std::string_view text);
// Longer than 4 characters, or a balloon, glider, vehicle, ship or the like.
bool lf_isNonAircraftType(const std::string& type);

}  // namespace cvl
