#include "engine/parked_controls.h"

#include "foundation/random.h"
#include "foundation/settings_catalogue.h"
#include "simlink/client_events.h"

namespace cvl {

std::array<std::uint32_t, 7> lf_parkedLights(const StaticAc& aircraft) {
  const bool cabin = !aircraft.standCargo && gf_randomBelow(10) != 9;
  return {NAV_LIGHTS_WHILE_PARKED.value ? 1U : 0U, 0, 0, 0, 0, 1, cabin ? 1U : 0U};
}

void lf_resetAcControls(StaticAc& aircraft) {
  gf_setThrottle(aircraft, 0);
  gf_setFlaps(aircraft, 0);
  gf_engineShutdown(aircraft.objectId);
  gf_setLights(aircraft.objectId, lf_parkedLights(aircraft));
}

}  // namespace cvl
