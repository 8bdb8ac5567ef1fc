#include "engine/engine_state.h"

#include <cmath>

#include "foundation/settings_catalogue.h"

namespace cvl {
namespace {

constexpr double rangeEdgeNm = 0.5;

}  // namespace

std::vector<std::uint32_t> addingStack;
std::deque<std::uint32_t> removalBacklog;
std::vector<SimResult> createdObjects;
std::deque<std::uint32_t> sameRegCheckQueue;
std::uint32_t selectedObjectId = 0;
UserAcData engineUserPosition;

bool gf_engineUserPositionKnown() {
  return std::abs(engineUserPosition.latitude) > 0.0001 || std::abs(engineUserPosition.longitude) > 0.0001;
}

bool gf_atRangeEdge(const LatLon& point) {
  return gf_engineUserPositionKnown() && gf_distanceNM(gf_engineUserLatLon(), point) >= rangeNm.load() - rangeEdgeNm;
}

}  // namespace cvl
