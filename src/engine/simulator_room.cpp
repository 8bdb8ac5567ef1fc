#include "engine/simulator_room.h"

#include <algorithm>
#include <optional>

#include "engine/aircraft_lists.h"
#include "engine/live_ac_lookup.h"
#include "engine/live_creation.h"
#include "engine/tick_count.h"
#include "parking/static_creation.h"

namespace cvl {
namespace {

// Long enough that a full simulator is asked a few times a minute, short enough that a place another client frees
// unseen is taken soon.
constexpr std::int32_t retryPauseTicks = 500;

std::optional<std::int32_t> fullSince;

// A static aircraft waits for its stand in the backlog again; one whose removal was asked for has nothing left to do.
void lf_staticBackToWait(std::uint32_t hexid) {
  const auto refused = std::find_if(staticAcs.begin(), staticAcs.end(), [hexid](const StaticAc& aircraft) {
    return aircraft.hexid == hexid && aircraft.state == AcState::adding2sim && aircraft.objectId == 0;
  });
  if (refused == staticAcs.end()) {
    return;
  }
  if (refused->waitRemove) {
    staticAcs.erase(refused);
    return;
  }
  gf_queueStaticCreation(*refused);
}

}  // namespace

void gf_onCreationOverLimit(std::uint32_t hexid) {
  fullSince = tickCount.load();
  if (LiveAc* aircraft = gf_findLiveAcByHexid(hexid)) {
    gf_creationBackToWait(*aircraft);
  } else {
    lf_staticBackToWait(hexid);
  }
}

void gf_noteObjectLeft() {
  fullSince.reset();
}

bool gf_simulatorFull() {
  return fullSince && tickCount - *fullSince < retryPauseTicks;
}

void gf_clearSimulatorRoom() {
  fullSince.reset();
}

}  // namespace cvl
