#include "foundation/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace cvl {
namespace {

constexpr double pi = std::numbers::pi;

TEST(Geometry, OneMinuteOfArcIsOneNauticalMile) {
  EXPECT_EQ(gf_distanceNM({47.5, 8.5}, {47.5, 8.5}), 0.0);
  EXPECT_NEAR(gf_distanceNM({0, 0}, {0, 1}), 60.0, 1e-9);
  EXPECT_NEAR(gf_distanceNM({0, 0}, {1, 0}), 60.0, 1e-9);
  EXPECT_NEAR(gf_distanceNM({51.4775, -0.4614}, {40.6398, -73.7789}), 2989.0, 1.0);
}

TEST(Geometry, DistanceNearTheAntipodeIsHalfTheGlobe) {
  // Rounding lifts the haversine term just above 1 for many of these pairs.
  for (double lat = -89.5; lat < 90; lat += 0.5) {
    for (double lon = -180; lon < 180; lon += 7.25) {
      const double distance = gf_distanceNM({lat, lon}, {-lat, lon + 180});
      ASSERT_NEAR(distance, 10800.0, 1e-3) << lat << ", " << lon;
    }
  }
}

TEST(Geometry, BearingRunsFromZeroToAFullTurn) {
  EXPECT_NEAR(gf_bearing({0, 0}, {1, 0}), 0.0, 1e-12);
  EXPECT_NEAR(gf_bearing({0, 0}, {0, 1}), pi / 2, 1e-12);
  EXPECT_NEAR(gf_bearing({0, 0}, {-1, 0}), pi, 1e-12);
  EXPECT_NEAR(gf_bearing({0, 0}, {0, -1}), 3 * pi / 2, 1e-12);
  for (double lon = -1e-9; lon < 1e-9; lon += 1e-10) {
    const double bearing = gf_bearing({10, 0}, {11, lon});
    EXPECT_GE(bearing, 0.0);
    EXPECT_LT(bearing, fullTurn);
  }
}

TEST(Geometry, DestinationFollowsTheGreatCircle) {
  const auto east = gf_destinationPoint({0, 0}, pi / 2, 60 * feetPerNauticalMile);
  EXPECT_NEAR(east.lat, 0.0, 1e-9);
  EXPECT_NEAR(east.lon, 1.0, 1e-9);
  const LatLon start{52.3, 4.76};
  const auto there = gf_destinationPoint(start, 1.0, 25 * feetPerNauticalMile);
  EXPECT_NEAR(gf_distanceNM(start, there), 25.0, 1e-6);
  EXPECT_NEAR(gf_bearing(start, there), 1.0, 1e-6);
}

TEST(Geometry, DestinationWrapsAcrossTheDateLine) {
  const auto across = gf_destinationPoint({0, 179.5}, pi / 2, 60 * feetPerNauticalMile);
  EXPECT_NEAR(across.lon, -179.5, 1e-9);
  const auto back = gf_destinationPoint({0, -179.5}, 3 * pi / 2, 60 * feetPerNauticalMile);
  EXPECT_NEAR(back.lon, 179.5, 1e-9);
}

TEST(Geometry, DestinationOverThePoleStaysANumber) {
  const auto overPole = gf_destinationPoint({90, 0}, 0.0, 0.0);
  EXPECT_NEAR(overPole.lat, 90.0, 1e-9);
  for (double bearing = 0; bearing < fullTurn; bearing += 0.1) {
    ASSERT_FALSE(std::isnan(gf_destinationPoint({89.9999999, 10}, bearing, 1.0).lat)) << bearing;
  }
}

}  // namespace
}  // namespace cvl
