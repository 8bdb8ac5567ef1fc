#pragma once

#include <cmath>

#include "engine/engine_state.h"
#include "foundation/geometry.h"
#include "trafficin/timed_position.h"

// Positions of the position stream as points on the map, and the engine's user position as one.
namespace cvl {

// Two points closer than this in both latitude and longitude (degrees) are the same point.
inline constexpr double samePointDegrees = 1e-8;

inline LatLon gf_latLonOf(const TimedPosition& position) {
  return {position.lat, position.lon};
}

template <class A, class B>
bool gf_samePoint(const A& a, const B& b) {
  return std::abs(a.lat - b.lat) < samePointDegrees && std::abs(a.lon - b.lon) < samePointDegrees;
}

inline LatLon gf_engineUserLatLon() {
  return {engineUserPosition.latitude, engineUserPosition.longitude};
}

}  // namespace cvl
