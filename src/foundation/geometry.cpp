#include "foundation/geometry.h"

#include <algorithm>
#include <cmath>

namespace cvl {
namespace {

// Twice the Earth radius of 10800 / pi nautical miles: the distance is this factor times half the central angle.
constexpr double distanceFactor = 6875.493541569878;
// One over the Earth radius in feet.
constexpr double radiansPerFoot = 4.787404208238998e-8;

double squared(double value) {
  return value * value;
}

}  // namespace

double gf_distanceNM(const LatLon& from, const LatLon& to) {
  const double phi1 = from.lat * degreesToRadians;
  const double phi2 = to.lat * degreesToRadians;
  const double dlambda = (to.lon - from.lon) * degreesToRadians;
  const double a =
      squared(std::sin((phi2 - phi1) / 2)) + std::cos(phi2) * std::cos(phi1) * squared(std::sin(dlambda / 2));
  // Rounding can push a just outside [0, 1] near the antipode, which would make the square roots NaN.
  const double h = std::clamp(a, 0.0, 1.0);
  return std::atan2(std::sqrt(h), std::sqrt(1 - h)) * distanceFactor;
}

double gf_bearing(const LatLon& from, const LatLon& to) {
  const double phi1 = from.lat * degreesToRadians;
  const double phi2 = to.lat * degreesToRadians;
  const double dlambda = (to.lon - from.lon) * degreesToRadians;
  const double theta =
      std::atan2(std::sin(dlambda) * std::cos(phi2),
                 std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dlambda));
  if (theta >= 0) {
    return theta;
  }
  // A tiny negative angle plus a full turn can round up to the full turn itself.
  const double turned = theta + fullTurn;
  return turned < fullTurn ? turned : 0.0;
}

LatLon gf_destinationPoint(const LatLon& start, double bearing, double distanceFeet) {
  const double phi1 = start.lat * degreesToRadians;
  const double delta = distanceFeet * radiansPerFoot;
  const double sinPhi2 = std::sin(phi1) * std::cos(delta) + std::cos(phi1) * std::sin(delta) * std::cos(bearing);
  // At the poles rounding can lift the sine just above 1.
  const double phi2 = std::asin(std::clamp(sinPhi2, -1.0, 1.0));
  const double lambda2 = start.lon * degreesToRadians + std::atan2(std::sin(bearing) * std::sin(delta) * std::cos(phi1),
                                                                   std::cos(delta) - std::sin(phi1) * std::sin(phi2));
  return {phi2 * radiansToDegrees, std::remainder(lambda2, fullTurn) * radiansToDegrees};
}

}  // namespace cvl
