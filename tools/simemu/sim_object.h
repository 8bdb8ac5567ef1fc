#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "simconnect/simconnect.h"

// One object of the emulated simulator's world: the user aircraft, an aircraft of the simulator's own traffic, or an
// AI aircraft a client created. Angles are degrees, heights feet, speeds knots. The world has no wind, so the true
// airspeed is also the ground speed.
namespace cvl::simemu {

// The bits of the light mask ("LIGHT STATES").
enum LightBit : std::uint32_t {
  lightNav = 0x1,
  lightBeacon = 0x2,
  lightLanding = 0x4,
  lightTaxi = 0x8,
  lightStrobe = 0x10,
  lightLogo = 0x100,
  lightCabin = 0x200,
};

struct SimObject {
  std::uint32_t id = 0;
  SIMCONNECT_SIMOBJECT_TYPE type = SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT;
  std::string title;
  std::string atcType;
  std::string atcModel;
  std::string tail;  // its "ATC ID"
  double wingspanFt = 0;

  double latitude = 0;
  double longitude = 0;
  double altitudeFt = 0;
  double pitchDeg = 0;
  double bankDeg = 0;
  double headingDeg = 0;  // true
  double verticalSpeedFps = 0;
  double airspeedKt = 0;
  bool onGround = true;
  double staticCgFt = 9.0;  // the height of the reference point above the ground when standing
  double staticPitchDeg = 0;

  double spoilersPct = 0;
  std::array<double, 4> throttlePct{};
  double flapsPct = 0;
  bool gearDown = true;
  bool enginesRunning = false;
  std::uint32_t lights = 0;

  bool aiReleased = false;
  bool frozenLatLon = false;
  bool frozenAltitude = false;
  bool frozenAttitude = false;
  std::map<std::string, std::uint32_t> lastEvents;  // simulator event name: the value last received

  std::string flightPlanFile;
  std::string departure;
  std::string destination;

  std::uint32_t ownerClient = 0;  // the client that created it; 0 for the simulator's own objects
};

// An object standing on the ground keeps its reference point at its static CG height; a foot more still stands.
inline bool standsAtHeight(const SimObject& object, double altitudeFt, double groundAltitudeFt) {
  return altitudeFt - groundAltitudeFt <= object.staticCgFt + 1.0;
}

}  // namespace cvl::simemu
