#pragma once

#include <cmath>

#include "engine/engine_state.h"
#include "engine/live_ac.h"
#include "foundation/geometry.h"
#include "trafficin/timed_position.h"

// Points on the map: the entries of the position stream and an aircraft's place in the simulator, beside the engine's
// user position.
namespace cvl {

// Two points closer than this in both latitude and longitude (degrees) are the same point.
inline constexpr double samePointDegrees = 1e-8;

inline LatLon gf_latLonOf(const TimedPosition& position) {
  return {position.lat, position.lon};
}

inline LatLon gf_latLonOf(const SimPosition& position) {
  return {position.lat, position.lon};
}

template <class A, class B>
bool gf_samePoint(const A& a, const B& b) {
  return std::abs(a.lat - b.lat) < samePointDegrees && std::abs(a.lon - b.lon) < samePointDegrees;
}

}  // namespace cvl
