#include "engine/engine_state.h"

#include <cmath>

namespace cvl {

std::vector<std::uint32_t> addingStack;
std::deque<std::uint32_t> removalBacklog;
std::vector<SimResult> createdObjects;
std::deque<std::uint32_t> sameRegCheckQueue;
std::uint32_t selectedObjectId = 0;
UserAcData engineUserPosition;

bool gf_engineUserPositionKnown() {
  return std::abs(engineUserPosition.latitude) > 0.0001 || std::abs(engineUserPosition.longitude) > 0.0001;
}

}  // namespace cvl
