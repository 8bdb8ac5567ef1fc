#pragma once

// Great-circle geometry on a spherical Earth whose radius makes one nautical mile one minute of arc.
namespace cvl {

// Degrees, north and east positive.
struct LatLon {
  double lat{0.0};
  double lon{0.0};
};

inline constexpr double degreesToRadians = 0.017453292519943295;
inline constexpr double radiansToDegrees = 57.29577951308232;
inline constexpr double fullTurn = 6.283185307179586;
inline constexpr double feetPerNauticalMile = 6076.11549;

// Great-circle distance in nautical miles (haversine), 0 or more; never NaN, also for antipodal positions.
double gf_distanceNM(const LatLon& from, const LatLon& to);

// Initial true bearing from the first position towards the second, in radians, 0 up to (not including) 2 pi.
double gf_bearing(const LatLon& from, const LatLon& to);

// The position reached from start along the bearing (radians) after the distance in feet; longitude in -180..180.
LatLon gf_destinationPoint(const LatLon& start, double bearing, double distanceFeet);

}  // namespace cvl
