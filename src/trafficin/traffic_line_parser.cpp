#include <fmt/format.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "engine/ac_labels.h"
#include "engine/tick_count.h"
#include "foundation/geometry.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/text_encoding.h"
#include "trafficin/leading_number.h"
#include "trafficin/traffic_queue.h"
#include "trafficin/traffic_reader.h"

namespace cvl {
namespace {

// Field positions of a traffic report.
enum Field : std::size_t {
  hexidField = 1,
  latField = 2,
  lonField = 3,
  altitudeField = 4,
  vsField = 5,
  trackField = 7,
  gsField = 8,
  callsignField = 9,
  typeField = 10,
  registrationField = 11,
  originField = 12,
  destinationField = 13,
  timestampField = 14,
  sourceField = 17,
  tasField = 20,
  rollField = 23,
  trueHeadingField = 25,
  categoryField = 28,
};

// Data times outside these years are not plausible for live or recorded traffic; such a time would make the traffic
// clock useless, so the line is refused before it can become the latest time.
constexpr double earliestTimestamp = 946684800.0;  // 2000-01-01
constexpr double latestTimestamp = 4102444800.0;   // 2100-01-01
constexpr std::int32_t dueDelayTicks = 3000;       // 30 s: the engine plays every position back that much later
constexpr double groundLineRadiusNm = 5.0;         // ground traffic only around the park airport
constexpr double lowAltitudeLimit = 14000.0;       // feet; below it the ground rules look at the height
constexpr double unknownElevation = -1000.0;       // feet
constexpr double airborneOnlyMargin = 300.0;       // feet above the park airport
// Callsigns, types and airport codes are far shorter; anything longer is no report the service sends.
constexpr std::size_t longestReportText = 16;

// The number of a field, or a failure "{name}:{text}".
double lf_numberField(std::string_view text, std::string_view name) {
  const auto number = gf_leadingNumber<double>(text);
  if (!number) {
    throw std::runtime_error(fmt::format("{}:{}", name, text));
  }
  return *number;
}

// The true airspeed the traffic service leaves out, by altitude band.
double lf_typicalTas(double altitude) {
  if (altitude <= 2000.0) {
    return 180.0;
  }
  if (altitude <= 5000.0) {
    return 220.0;
  }
  if (altitude <= 10000.0) {
    return 250.0;
  }
  if (altitude <= 20000.0) {
    return 350.0;
  }
  return 430.0;
}

// The texts of a report that reach the aircraft records, the log, the window and the simulator. The registration
// has a limit of its own, below the others, beyond which the line is dropped silently.
struct TextField {
  Field field;
  std::string_view name;
  bool bounded;
};
constexpr std::array<TextField, 5> textFields{{
    {callsignField, "callsign", true},
    {typeField, "type", true},
    {registrationField, "registration", false},
    {originField, "origin", true},
    {destinationField, "destination", true},
}};

// The aircraft a failure is about, as the report names it.
std::string lf_aircraftText(std::string_view hexid) {
  return fmt::format("hexid {}", gf_excerpt(hexid, longestReportText));
}

bool lf_isRefusedCategory(std::string_view category) {
  return category == "B1" || category == "B2" || category == "B4" || category == "C1" || category == "C2";
}

}  // namespace

void TrafficReader::processLineSub() {
  try {
    TrafficItem item;
    parseLine(item);
  } catch (const std::exception& error) {
    // Failures quote the line's fields, which a sender can make as long as a datagram.
    if (malformedLog.admit()) {
      gf_log(fmt::format("exception in processLineSub: {}", gf_excerpt(error.what())));
    }
  }
}

void TrafficReader::parseLine(TrafficItem& item) {
  {
    const std::lock_guard lock{mutex_};
    line_ = surroundings_;
  }
  TimedPosition& position = item.position;

  const double timestamp = lf_numberField(fields[timestampField], "timestamp");
  if (timestamp < earliestTimestamp || timestamp > latestTimestamp) {
    throw std::runtime_error(fmt::format("timestamp:{}", fields[timestampField]));
  }
  latestTime = timestamp;
  item.timestamp = timestamp;

  position.lat = lf_numberField(fields[latField], "lat");
  position.lon = lf_numberField(fields[lonField], "lon");
  if (std::abs(position.lat) > 90.0 || std::abs(position.lon) > 180.0 ||
      (std::abs(position.lat) <= 0.0001 && std::abs(position.lon) <= 0.0001)) {
    throw std::runtime_error(fmt::format("invalid lalo: {}", formatPosition(position.lat, position.lon)));
  }
  const LatLon place{position.lat, position.lon};
  if (gf_distanceNM(line_.refPosition, place) > rangeNm) {
    return;
  }
  // A sender's damaged bytes make no trustworthy identity: the report is refused rather than guessed at.
  for (const auto& [field, fieldName, bounded] : textFields) {
    const std::string_view text = fields[field];
    if (!gf_isCleanText(text)) {
      throw std::runtime_error(
          fmt::format("{} of {} is not clean UTF-8 text", fieldName, lf_aircraftText(fields[hexidField])));
    }
    if (bounded && text.size() > longestReportText) {
      throw std::runtime_error(fmt::format("{} of {} is longer than {} bytes: {}", fieldName,
                                           lf_aircraftText(fields[hexidField]), longestReportText,
                                           gf_excerpt(text, longestReportText)));
    }
  }
  if (!lf_checkRegistration(item)) {
    return;
  }
  const std::string_view callsign = fields[callsignField];
  if (recordCallsigns && !callsign.empty() && callsign != "null" && callsign.find('@') == std::string_view::npos) {
    lf_recordCallsign(callsign);
  }

  item.airline.clear();
  item.type.clear();
  const std::string_view type = fields[typeField];
  if (type != "null" && type != "0" && type != "ZZZZ") {
    item.type = type;
  }
  const std::string_view category = fields[categoryField];
  if (item.type.empty() || (category != "null" && !category.empty() &&
                            (lf_isRefusedCategory(category) || lf_isNonAircraftType(item.type)))) {
    return;
  }

  if (fields[sourceField] == "adsb_icao") {
    const double heading = lf_numberField(fields[trueHeadingField], "trueheading");
    if (heading > 360.0) {
      throw std::runtime_error(fmt::format("trueheading: {:.2f}", heading));
    }
    if (heading >= 0.0) {
      position.trueHeading = heading == 0.0 ? fullTurn : heading * degreesToRadians;
      position.hasTrueHeading = true;
    }
  }

  const auto hexid = gf_leadingNumber<std::uint32_t>(fields[hexidField]);
  if (!hexid) {
    throw std::runtime_error(fmt::format("hexid incorrect{}", fields[hexidField]));
  }
  if (*hexid <= 10000) {
    return;
  }
  item.hexid = *hexid;

  position.groundSpeed = lf_numberField(fields[gsField], "gs");
  if (!lf_checkAltitude(position)) {
    return;
  }
  position.airborne = position.altitude > 0.0;
  if (!lf_checkCallsign(item) || (item.callsign.empty() && item.registration.empty())) {
    return;
  }
  if (!position.airborne &&
      (!line_.parkAirport || gf_distanceNM(line_.parkAirport->position, place) > groundLineRadiusNm)) {
    return;
  }

  const std::string_view track = fields[trackField];
  if (!track.empty()) {
    const auto number = gf_leadingNumber<double>(track);
    if (!number) {
      throw std::runtime_error(fmt::format("track incorrect {}", track));
    }
    position.track = *number;
  }
  if (position.track == 0.0 && position.trueHeading) {
    position.track = *position.trueHeading * radiansToDegrees;
  }

  position.verticalSpeed = lf_numberField(fields[vsField], "vs");
  item.origin = lf_nullToEmpty(fields[originField]);
  item.destination = lf_nullToEmpty(fields[destinationField]);

  if (position.airborne) {
    const double roll = lf_numberField(fields[rollField], "roll");
    if (roll != -1.0 && roll != 0.0) {
      position.roll = -roll * degreesToRadians;
    }
  }

  const auto tas = gf_leadingNumber<double>(fields[tasField]);
  if (!tas) {
    throw std::runtime_error(fmt::format("TAS incorrect{}", fields[tasField]));
  }
  position.tas = *tas == -1.0 ? lf_typicalTas(position.altitude) : *tas;

  position.stationary = false;
  lf_handOver(item);
}

bool TrafficReader::lf_checkRegistration(TrafficItem& item) {
  const std::string_view registration = fields[registrationField];
  if (registration.size() > 12) {
    return false;
  }
  item.registration = lf_nullToEmpty(registration);
  return true;
}

bool TrafficReader::lf_checkAltitude(TimedPosition& position) {
  const auto reported = gf_leadingNumber<double>(fields[altitudeField]);
  if (!reported) {
    throw std::runtime_error(fmt::format("altitude {} incorrect, from: {}", fields[altitudeField], datagram()));
  }
  double altitude = std::max(*reported, 0.0);
  const double groundSpeed = position.groundSpeed;
  if (altitude > 0.0 && altitude < lowAltitudeLimit) {
    const double height = altitude - line_.refElevation.value_or(unknownElevation);
    if (height <= 0.0 || (height <= 42.0 && groundSpeed <= 120.0) || (height <= 84.0 && groundSpeed <= 80.0) ||
        (height <= 108.0 && groundSpeed <= 43.0)) {
      altitude = 0.0;
    }
  }
  if (groundSpeed <= 35.0) {
    altitude = 0.0;
  }
  position.altitude = altitude;
  if (!AIRBORNE_ONLY.value) {
    return true;
  }
  // Only traffic clearly above the park airport (or sea level without one); ground traffic never passes.
  const double elevation = line_.parkAirport ? line_.parkAirport->elevation : 0.0;
  return altitude > 0.0 && std::abs(altitude - elevation) > airborneOnlyMargin;
}

bool TrafficReader::lf_checkCallsign(TrafficItem& item) {
  const std::string_view callsign = fields[callsignField];
  if (callsign == "ERARMTR1" || callsign == "AIRPORT1" || callsign == "00000000") {
    return false;
  }
  if (callsign != "null" && callsign.find('@') == std::string_view::npos) {
    item.callsign = callsign;
  }
  return true;
}

void TrafficReader::lf_handOver(TrafficItem& item) {
  const std::lock_guard lock{trafficQueueMutex};
  if (acceptTraffic) {
    item.position.dueTick = tickCount + dueDelayTicks;
    trafficQueue.push_back(std::move(item));
  }
}

}  // namespace cvl
