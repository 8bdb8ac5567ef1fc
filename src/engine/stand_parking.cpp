#include "engine/stand_parking.h"

#include "simlink/client_events.h"

namespace cvl {

void lf_parks(LiveAc& aircraft) {
  aircraft.onGround = true;
  gf_setGear(aircraft, true);
  aircraft.stepAlt = 0.0;
  aircraft.phaseCounter = 1;
}

}  // namespace cvl
