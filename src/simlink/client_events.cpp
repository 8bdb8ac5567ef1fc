#include "simlink/client_events.h"

namespace cvl {

// The send queues are not there yet: the records keep what was asked, nothing reaches the simulator.
void gf_engineShutdown(std::uint32_t /*objectId*/) {}

void gf_setLights(std::uint32_t /*objectId*/, const std::array<std::uint32_t, 7>& /*lights*/) {}

void gf_setFlaps(StaticAc& aircraft, std::uint32_t index) {
  aircraft.flapsIndex = index;
}

void gf_setThrottle(StaticAc& aircraft, std::uint32_t level) {
  aircraft.throttleLevel = level;
}

}  // namespace cvl
