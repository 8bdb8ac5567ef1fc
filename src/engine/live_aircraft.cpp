#include "engine/live_aircraft.h"

#include <algorithm>

namespace cvl {

std::uint64_t gf_countLiveParked(bool /*withAverage*/) {
  return static_cast<std::uint64_t>(std::count_if(liveAcs.begin(), liveAcs.end(), [](const LiveAc& aircraft) {
    return aircraft.state == AcState::active && aircraft.phase == AcPhase::parked;
  }));
}

}  // namespace cvl
