#include "engine/curves.h"

#include <cmath>
#include <limits>

#include "engine/ground_paths.h"

namespace cvl {

namespace {

constexpr double noValue = std::numeric_limits<double>::quiet_NaN();

// Metres per degree of longitude at the curve's origin; 0 at a pole, where no flat frame exists.
double lf_metresPerLonDegree(double originLat) {
  return metresPerDegree * std::cos(originLat * degreesToRadians);
}

NorthEast lf_offsetFrom(const LatLon& origin, double lat, double lon) {
  return {(lat - origin.lat) * metresPerDegree, lf_wrappedAngle((lon - origin.lon) * degreesToRadians) *
                                                    radiansToDegrees * lf_metresPerLonDegree(origin.lat)};
}

}  // namespace

bool lf_hasCurve(const LiveAc& aircraft) {
  return !std::isnan(aircraft.curveCtrl.north) && !std::isnan(aircraft.curveCtrl.east);
}

void lf_clearCurve(LiveAc& aircraft) {
  aircraft.curveT0 = noValue;
  aircraft.curveT1 = noValue;
  aircraft.curveCtrl = {noValue, noValue};
  aircraft.curveT = 0.0;
}

bool lf_curvePoint(const LiveAc& aircraft, double t, LatLon& position, double& heading) {
  if (!lf_hasCurve(aircraft) || !(t >= aircraft.curveT0 && t <= aircraft.curveT1)) {
    return false;
  }
  const double u = (t - aircraft.curveT0) / (aircraft.curveT1 - aircraft.curveT0);
  const double lonScale = lf_metresPerLonDegree(aircraft.curveOrigin.lat);
  if (!(u >= 0.0 && u <= 1.0) || std::abs(lonScale) < 1e-6) {
    return false;
  }
  const NorthEast& p1 = aircraft.curveCtrl;
  const NorthEast& p2 = aircraft.curveEnd;
  const double north = 2.0 * u * (1.0 - u) * p1.north + u * u * p2.north;
  const double east = 2.0 * u * (1.0 - u) * p1.east + u * u * p2.east;
  const double tangentNorth = 2.0 * (1.0 - u) * p1.north + 2.0 * u * (p2.north - p1.north);
  const double tangentEast = 2.0 * (1.0 - u) * p1.east + 2.0 * u * (p2.east - p1.east);
  heading = lf_normalizedHeading(std::atan2(tangentEast, tangentNorth));
  position = {aircraft.curveOrigin.lat + north / metresPerDegree, aircraft.curveOrigin.lon + east / lonScale};
  return true;
}

void lf_buildCurve(LiveAc& aircraft) {
  auto& stream = aircraft.stream;
  if (stream.size() < 3) {
    return;
  }
  aircraft.curveOrigin = {aircraft.simPos.lat, aircraft.simPos.lon};
  aircraft.curveCtrl = lf_offsetFrom(aircraft.curveOrigin, stream[1].lat, stream[1].lon);
  aircraft.curveEnd = lf_offsetFrom(aircraft.curveOrigin, stream[2].lat, stream[2].lon);
  aircraft.curveT0 = 0.0;
  aircraft.curveT1 = 1.0;
  if (stream[2].groundSpeed == 0.0) {
    stream[2].groundSpeed = (stream[0].groundSpeed + stream[1].groundSpeed) / 2.0;
  }
  stream.erase(stream.begin() + 1);
}

}  // namespace cvl
