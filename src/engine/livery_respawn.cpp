#include "engine/livery_respawn.h"

#include <fmt/format.h>

#include <cmath>
#include <exception>

#include "app/controls.h"
#include "engine/ac_labels.h"
#include "engine/engine_state.h"
#include "engine/stream_points.h"
#include "engine/tick_count.h"
#include "foundation/log.h"

namespace cvl {
namespace {

// The aircraft is created again where it is now: a first entry at its current position, due at once.
void lf_restartStreamHere(LiveAc& aircraft) {
  if (aircraft.stream.empty()) {
    return;
  }
  TimedPosition here = aircraft.stream.front();
  here.lat = aircraft.simPos.lat;
  here.lon = aircraft.simPos.lon;
  here.altitude = aircraft.simPos.altitude;
  here.roll = aircraft.simPos.bank;
  aircraft.stream.front().stationary = gf_samePoint(aircraft.stream.front(), aircraft.simPos);
  here.dueTick = tickCount + 1;
  aircraft.stream.push_front(here);
}

}  // namespace

void liveryRespawn(LiveAc& aircraft) {
  try {
    lf_restartStreamHere(aircraft);
    aircraft.respawnHeading = aircraft.simPos.heading;
    if (aircraft.objectId == 0) {
      // Nothing to take out of the simulator: the buffer spawns it again straight away.
      gf_logFlagged(fmt::format("{} removing act {} with objectid=0 ?", "liveryRespawn", gf_acLabel(aircraft)));
      aircraft.state = AcState::buffer;
      return;
    }
    aircraft.state = AcState::liveryrespawn;
    if (aircraft.objectId == selectedObjectId) {
      selectedObjectId = 0;
      gf_resetCallsignToObjectId();
    }
    removalBacklog.push_back(aircraft.objectId);
  } catch (const std::exception& e) {
    gf_logFlagged(fmt::format("{}: {}", "liveryRespawn", e.what()));
  }
}

void lf_clearCargoAttribute(LiveAc& /*aircraft*/) {}

}  // namespace cvl
