#include "parking/stand_lookups.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <optional>

#include "engine/ac_labels.h"
#include "parking/learned_updates.h"
#include "simlink/user_aircraft.h"

namespace cvl {
namespace {

constexpr double learnedStandReachNm = 0.0458963282937365;        // 85 m
constexpr double fitToleranceNm = 0.0009719222462203025;          // 1.8 m
constexpr double enlargedRadiusMarginNm = 0.0005399568034557236;  // 1 m
constexpr double samePositionDegrees = 1e-8;

struct StandPoint {
  std::string name;
  LatLon position;
};

struct StandQuery {
  LatLon position;
  std::string name;
};

// Guards the published stand points and the remembered query.
std::mutex standPointsMutex;
std::vector<StandPoint> standPoints;
std::optional<StandQuery> lastStandQuery;
// What was published, as the worker last saw it.
const ParkPos* publishedStands = nullptr;
std::size_t publishedCount = 0;

bool lf_samePosition(const LatLon& a, const LatLon& b) {
  return std::abs(a.lat - b.lat) < samePositionDegrees && std::abs(a.lon - b.lon) < samePositionDegrees;
}

bool lf_fits(const AcIdentity& aircraft, const ParkPos& stand) {
  return aircraft.halfSpan - stand.radius <= fitToleranceNm;
}

bool lf_hasLearnedOptionFor(const ParkPos& stand, const AcIdentity& aircraft) {
  return std::any_of(stand.options.begin(), stand.options.end(), [&aircraft](const StandOption& option) {
    return lf_standOptionMatches(aircraft.callsign, aircraft, option);
  });
}

}  // namespace

std::string gf_standNameAt(const LatLon& position) {
  const std::lock_guard lock{standPointsMutex};
  if (standPoints.empty() || !userOnGround) {
    return {};
  }
  if (lastStandQuery && lf_samePosition(lastStandQuery->position, position)) {
    return lastStandQuery->name;
  }
  double best = 900.0;
  std::string name;
  for (const StandPoint& stand : standPoints) {
    const double distance = gf_distanceNM(position, stand.position);
    if (distance <= standNameReachNm && distance < best) {
      best = distance;
      name = stand.name;
    }
  }
  lastStandQuery = StandQuery{position, name};
  return name;
}

void gf_publishStandPlaces() {
  std::vector<StandPoint> points;
  points.reserve(parkPositions.size());
  for (const ParkPos& stand : parkPositions) {
    points.push_back({stand.id, {stand.latitude, stand.longitude}});
  }
  publishedStands = parkPositions.data();
  publishedCount = parkPositions.size();
  const std::lock_guard lock{standPointsMutex};
  standPoints = std::move(points);
  lastStandQuery.reset();
}

void gf_publishStandPlacesIfChanged() {
  if (parkPositions.data() != publishedStands || parkPositions.size() != publishedCount) {
    gf_publishStandPlaces();
  }
}

std::vector<ParkPos>::iterator lf_findStandNear(const LatLon& position, const AcIdentity& aircraft, double radius,
                                                bool alsoLearned) {
  auto result = parkPositions.end();
  auto learned = parkPositions.end();
  double best = std::numeric_limits<double>::max();
  double bestLearned = std::numeric_limits<double>::max();
  bool takenWithoutFit = false;
  bool learnedSearch = alsoLearned && !aircraft.callsign.empty();
  for (auto stand = parkPositions.begin(); stand != parkPositions.end(); ++stand) {
    if (stand->makeWayMark) {
      continue;
    }
    const double distance = gf_distanceNM(position, {stand->latitude, stand->longitude});
    if (distance <= radius && distance < best) {
      const bool fits = lf_fits(aircraft, *stand);
      if (fits || distance <= narrowStandSearchNm) {
        result = stand;
        best = distance;
        takenWithoutFit = !fits;
        learnedSearch = false;
      }
    } else if (learnedSearch && distance <= learnedStandReachNm && distance < bestLearned &&
               lf_fits(aircraft, *stand) && lf_hasLearnedOptionFor(*stand, aircraft)) {
      learned = stand;
      bestLearned = distance;
    }
  }
  if (result == parkPositions.end()) {
    result = learned;
    takenWithoutFit = false;
  }
  if (result == parkPositions.end() || result->heli != (aircraft.category == AcCategory::Rotorcraft)) {
    return parkPositions.end();
  }
  if (takenWithoutFit) {
    // The aircraft parks here anyway: the stand is bigger than its file says.
    result->radius = aircraft.halfSpan - enlargedRadiusMarginNm;
    result->radius_change = true;
    gf_countLearnedUpdate();
  }
  return result;
}

}  // namespace cvl
