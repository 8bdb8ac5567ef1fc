#pragma once

#include "engine/live_ac.h"
#include "foundation/geometry.h"

// The quadratic curves that round a ground aircraft's corners. A curve lies in a flat frame in metres around its
// origin: it starts at the origin, is pulled towards the control point and ends at the end point. Worker thread.
namespace cvl {

// Metres per degree of latitude (and of longitude at the equator) in the curve's flat frame.
inline constexpr double metresPerDegree = 111132.95;

// Whether the aircraft has a curve set.
bool lf_hasCurve(const LiveAc& aircraft);
// Forgets the curve (its bounds and control point become NaN) and starts its parameter at 0.
void lf_clearCurve(LiveAc& aircraft);
// The point and the tangent heading (radians, 0 to 2 pi) of the curve at parameter t; false when there is no curve or
// t lies outside it.
bool lf_curvePoint(const LiveAc& aircraft, double t, LatLon& position, double& heading);
// A curve from the current position through the next stream entry to the one after it; the next entry is taken out
// of the stream (it lives on as the control point). The stream must hold three entries.
void lf_buildCurve(LiveAc& aircraft);

}  // namespace cvl
