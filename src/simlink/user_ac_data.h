#pragma once

#include <cstdint>

// The user aircraft's data block as the simulator sends it once a second.
namespace cvl {

struct UserAcData {
  double latitude = 0.0;  // degrees
  double longitude = 0.0;
  double pitch = 0.0;  // radians
  double bank = 0.0;
  double heading = 0.0;              // true, radians
  double altitude = 0.0;             // feet
  double altitudeAboveGround = 0.0;  // feet
  double groundVelocity = 0.0;       // knots
  std::int64_t zuluTime = 0;         // seconds of the day
  std::int64_t zuluDayOfYear = 0;    // 1-based
  std::int64_t zuluYear = 0;
  std::int64_t lightStates = 0;  // bit mask
};

}  // namespace cvl
