#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The lines of the TCP link as the traffic service sees them. Corvalen sends "Qs999=version", "Qs121=...",
// "Qs123=..." and "exit", each ending in "\r\n"; the service answers only the version request, with one JSON object.
namespace cvl::rtemu {

enum class Edition { standard, professional };

inline constexpr std::string_view versionRequest = "Qs999=version";

// The answer to the version request: {"level":1|2,"version":"<version>"} (level 2 is the professional edition).
std::string versionReply(Edition edition, const std::string& version);

// The user aircraft's position as sent, scaled as on the wire: pitch and bank in radians × 100000, heading in radians,
// altitude in feet × 1000, ground speed in knots × 1000, latitude and longitude in radians.
struct PositionReport {
  double pitch = 0.0;
  double bank = 0.0;
  double heading = 0.0;
  double altitude = 0.0;
  double groundSpeed = 0.0;
  double latitude = 0.0;
  double longitude = 0.0;
};

// "Qs121=" and seven numbers separated by ';' (any number form, exponents included); nullopt otherwise.
std::optional<PositionReport> parsePositionLine(std::string_view line);

// "Qs123=" and the simulator's UTC time in milliseconds since the Unix epoch; nullopt otherwise.
std::optional<std::int64_t> parseTimeLine(std::string_view line);

}  // namespace cvl::rtemu
