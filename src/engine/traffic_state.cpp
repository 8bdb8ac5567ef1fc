#include "engine/traffic_state.h"

#include "engine/live_aircraft.h"

namespace cvl {

void gf_resetTrafficState() {
  liveAcs.clear();
}

// The engine keeps no day map and no shared texts yet.
void gf_clearDayMap() {}

void gf_clearSharedTexts() {}

}  // namespace cvl
