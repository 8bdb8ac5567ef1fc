#include "engine/places_look.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "engine/aircraft_lists.h"
#include "engine/engine_state.h"
#include "engine/stream_points.h"
#include "engine/tick_count.h"
#include "foundation/geometry.h"

namespace cvl {
namespace {

constexpr double nmPerRadian = 10800.0 / 3.141592653589793;
// Beyond these the flat measure strays: nearer a pole, and for points farther than about 170 nm (only aircraft the
// user left behind lie there).
constexpr double flatUpToLatitude = 70.0;
constexpr double flatUpToRadians = 0.05;

// Orders points by their distance from the user as the great circle does, in squared radians: near the user the
// squared length of a flat projection, with the cosine of the mid latitude taken to first order from the user's own,
// which stays within a ten-thousandth of the great circle over the range of the simulator's scans.
class DistanceOrder {
 public:
  explicit DistanceOrder(const LatLon& user)
      : user_(user),
        cosUser_(std::cos(user.lat * degreesToRadians)),
        sinUser_(std::sin(user.lat * degreesToRadians)),
        flat_(std::abs(user.lat) <= flatUpToLatitude) {}

  double operator()(const LatLon& point) const {
    const double north = (point.lat - user_.lat) * degreesToRadians;
    double lonDegrees = point.lon - user_.lon;
    lonDegrees -= lonDegrees > 180.0 ? 360.0 : lonDegrees < -180.0 ? -360.0 : 0.0;
    const double lon = lonDegrees * degreesToRadians;
    if (!flat_ || std::abs(north) > flatUpToRadians || std::abs(lon * cosUser_) > flatUpToRadians) {
      const double radians = gf_distanceNM(user_, point) / nmPerRadian;
      return radians * radians;
    }
    const double east = (cosUser_ - sinUser_ * north / 2.0) * lon;
    return north * north + east * east;
  }

 private:
  LatLon user_;
  double cosUser_;
  double sinUser_;
  bool flat_;
};

double lf_userDistanceNm(const LatLon& point) {
  return gf_distanceNM(gf_engineUserLatLon(), point);
}

// Where a creation is: where its flight is now, which is where its object will appear; the point it was created at
// may lie minutes behind for a model slow to load.
LatLon lf_creationPlaceNow(const LiveAc& aircraft) {
  const auto& stream = aircraft.stream;
  if (stream.empty()) {
    return gf_latLonOf(aircraft.simPos);
  }
  auto now = stream.begin();
  while (std::next(now) != stream.end() && std::next(now)->dueTick <= tickCount) {
    ++now;
  }
  return gf_latLonOf(*now);
}

// Where a holder is: a shown aircraft where the simulator flies it, one being created where its flight is now.
inline LatLon lf_placeNow(const LiveAc& aircraft) {
  return aircraft.state == AcState::active ? gf_latLonOf(aircraft.simPos) : lf_creationPlaceNow(aircraft);
}

}  // namespace

bool gf_holdsPlace(const LiveAc& aircraft) {
  return (aircraft.state == AcState::active || aircraft.state == AcState::adding2sim) && !aircraft.waitRemove &&
         !aircraft.remove && !aircraft.removeNow;
}

PlacesLook gf_lookAtPlaces() {
  const DistanceOrder order{gf_engineUserLatLon()};
  PlacesLook look;
  const LiveAc* farthestShown = nullptr;
  double holderOrder = -1.0;
  double shownOrder = -1.0;
  for (LiveAc& aircraft : liveAcs) {
    if (!gf_holdsPlace(aircraft)) {
      continue;
    }
    ++look.holders;
    const double distance = order(lf_placeNow(aircraft));
    if (distance > holderOrder) {
      holderOrder = distance;
      look.farthestHolder = &aircraft;
    }
    if (aircraft.state == AcState::active && distance > shownOrder) {
      shownOrder = distance;
      farthestShown = &aircraft;
    }
  }
  if (look.farthestHolder != nullptr) {
    look.farthestHolderNm = lf_userDistanceNm(lf_placeNow(*look.farthestHolder));
  }
  if (farthestShown != nullptr) {
    look.anyShown = true;
    look.farthestShownNm = lf_userDistanceNm(gf_latLonOf(farthestShown->simPos));
  }
  return look;
}

std::vector<LiveAc*> gf_holdersFarthestFirst() {
  const DistanceOrder order{gf_engineUserLatLon()};
  std::vector<std::pair<double, LiveAc*>> holders;
  for (LiveAc& aircraft : liveAcs) {
    if (gf_holdsPlace(aircraft)) {
      holders.emplace_back(order(lf_placeNow(aircraft)), &aircraft);
    }
  }
  std::sort(holders.begin(), holders.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<LiveAc*> farthestFirst;
  farthestFirst.reserve(holders.size());
  for (const auto& [distance, aircraft] : holders) {
    farthestFirst.push_back(aircraft);
  }
  return farthestFirst;
}

bool gf_markedlyNearer(const LiveAc& aircraft, double farthestNm) {
  return lf_userDistanceNm(gf_latLonOf(aircraft.stream.front())) < (1.0 - swapShare) * farthestNm;
}

}  // namespace cvl
