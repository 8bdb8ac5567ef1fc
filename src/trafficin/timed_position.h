#pragma once

#include <cstdint>
#include <optional>

// One reported position of an aircraft. It travels inside a traffic item and then waits in the aircraft's position
// stream until the engine plays it back at its due tick.
namespace cvl {

struct TimedPosition {
  double lat = 0.0;            // degrees, -90..90
  double lon = 0.0;            // degrees, -180..180
  double altitude = 0.0;       // feet; 0 on the ground
  double groundSpeed = 0.0;    // knots
  double track = 0.0;          // degrees
  double verticalSpeed = 0.0;  // as reported, unconverted
  double tas = 0.0;            // true airspeed, knots
  // The engine's tick at which the position falls due.
  std::int32_t dueTick = 0;
  bool airborne = false;
  // Set by the engine when the position repeats the one before.
  bool stationary = false;
  bool hasTrueHeading = false;
  std::optional<double> roll;         // radians, already negated (bank as the simulator counts it)
  std::optional<double> trueHeading;  // radians, 0 < heading <= 2 pi
};

}  // namespace cvl
