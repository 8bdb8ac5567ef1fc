#include "engine/take_off.h"

namespace cvl {

void lf_towedTakeOff(LiveAc& aircraft) {
  aircraft.takeOffRoll = true;
  aircraft.approach = false;
  aircraft.towRequest = false;
  aircraft.dueAhead = 5000;
  aircraft.dueBehind = 3000;
}

}  // namespace cvl
