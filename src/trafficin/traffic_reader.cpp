#include "trafficin/traffic_reader.h"

#include <algorithm>
#include <array>

#include "app/main_window.h"
#include "foundation/log.h"

namespace cvl {
namespace {

// The fields of a traffic report; shorter lines are not reports.
constexpr std::size_t trafficFieldCount = 29;

}  // namespace

TrafficReader trafficReader;
std::atomic<bool> rtProfessional{false};

TrafficReader::TrafficReader() : UdpReader{"Traffic Reader"} {
  fields.reserve(64);
}

void TrafficReader::onDatagram() {
  const std::string_view line = datagram();
  if (line.find(" VEH") != std::string_view::npos) {
    return;
  }
  fields.clear();
  std::size_t start = 0;
  for (std::size_t comma = line.find(','); comma != std::string_view::npos; comma = line.find(',', start)) {
    fields.push_back(line.substr(start, comma - start));
    start = comma + 1;
  }
  fields.push_back(line.substr(start));
  if (fields.size() < trafficFieldCount) {
    return;
  }
  processLineSub();
}

void TrafficReader::onStopped() {
  mainWindow.trafficLamp = 3;
  gf_invalidateBand(rcHeader);
  gf_log("Traffic Reader has stopped");
}

void TrafficReader::setRefPosition(const LatLon& position) {
  const std::lock_guard lock{mutex_};
  surroundings_.refPosition = position;
}

LatLon TrafficReader::refPosition() const {
  const std::lock_guard lock{mutex_};
  return surroundings_.refPosition;
}

void TrafficReader::setRefElevation(std::optional<double> elevation) {
  const std::lock_guard lock{mutex_};
  surroundings_.refElevation = elevation;
}

std::optional<double> TrafficReader::refElevation() const {
  const std::lock_guard lock{mutex_};
  return surroundings_.refElevation;
}

void TrafficReader::setParkAirport(std::optional<ParkAirportPlace> airport) {
  const std::lock_guard lock{mutex_};
  surroundings_.parkAirport = airport;
}

std::unordered_set<std::string> TrafficReader::callsignsSeen() const {
  const std::lock_guard lock{mutex_};
  return callsignsSeen_;
}

void TrafficReader::clearCallsignsSeen() {
  const std::lock_guard lock{mutex_};
  callsignsSeen_.clear();
}

void TrafficReader::lf_recordCallsign(std::string_view callsign) {
  const std::lock_guard lock{mutex_};
  callsignsSeen_.emplace(callsign);
}

std::string lf_nullToEmpty(std::string_view text) {
  return text == "null" ? std::string{} : std::string{text};
}

bool lf_isNonAircraftType(const std::string& type) {
  static const std::array<std::string_view, 9> nonAircraft{"BALL", "EMER", "GLID", "GRND", "GND",
                                                           "PARA", "SERV", "SHIP", "VENT"};
  return type.size() > 4 || std::find(nonAircraft.begin(), nonAircraft.end(), type) != nonAircraft.end();
}

}  // namespace cvl
