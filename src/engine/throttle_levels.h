#pragma once

#include <cstdint>

#include "engine/static_ac.h"
#include "simlink/client_events.h"

// Throttle levels of the flight phases.
namespace cvl {

// Sets the throttle level of a fixed-wing aircraft; a Rotorcraft's rotor always runs at level 4.
inline void gf_setWingThrottle(StaticAc& aircraft, std::uint32_t level) {
  gf_setThrottle(aircraft, aircraft.category == AcCategory::Rotorcraft ? 4 : level);
}

}  // namespace cvl
