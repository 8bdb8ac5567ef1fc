#include "engine/livery_respawn.h"

#include <fmt/format.h>

#include <exception>

#include "app/controls.h"
#include "app/main_window.h"
#include "engine/ac_labels.h"
#include "engine/engine_state.h"
#include "engine/stream_points.h"
#include "engine/tick_count.h"
#include "foundation/log.h"
#include "parking/current_park_airport.h"
#include "parking/park_pos.h"
#include "parking/stand_names.h"

namespace cvl {

std::uint64_t cargoStandsCleared = 0;

namespace {

// The entry the aircraft is created again at: where it is now, or, parked, its stand entry, which is all the stream
// keeps.
TimedPosition lf_restartEntry(LiveAc& aircraft) {
  auto& stream = aircraft.stream;
  TimedPosition& current = stream.front();
  if (aircraft.phase == AcPhase::parked) {
    stream.resize(1);
    current.stationary = true;
    current.track = aircraft.simPos.heading * radiansToDegrees;
    return current;
  }
  TimedPosition here = current;
  here.lat = aircraft.simPos.lat;
  here.lon = aircraft.simPos.lon;
  here.altitude = aircraft.simPos.altitude;
  here.roll = aircraft.simPos.bank;
  current.stationary = gf_samePoint(current, aircraft.simPos);
  return here;
}

}  // namespace

void liveryRespawn(LiveAc& aircraft) {
  try {
    if (!aircraft.stream.empty()) {
      TimedPosition first = lf_restartEntry(aircraft);
      first.dueTick = tickCount + 1;
      aircraft.stream.push_front(first);
    }
    aircraft.state = AcState::liveryrespawn;
    aircraft.respawnHeading = aircraft.simPos.heading;
    if (aircraft.objectId == 0) {
      gf_logFlagged(fmt::format("{} removing act {} with objectid=0 ?", "liveryRespawn", gf_acLabel(aircraft)));
      // No removal report will come for an object the simulator never had: the buffer spawns it again at once.
      aircraft.state = AcState::buffer;
      return;
    }
    if (aircraft.objectId == selectedObjectId) {
      selectedObjectId = 0;
      gf_resetCallsignToObjectId();
    }
    removalBacklog.push_back(aircraft.objectId);
  } catch (const std::exception& e) {
    gf_logFlagged(fmt::format("{}: {}", "liveryRespawn", e.what()));
  }
}

void lf_clearCargoAttribute(LiveAc& aircraft) {
  if (!aircraft.standCargo || aircraft.cargo) {
    return;
  }
  ParkPos* stand = gf_standBySid(aircraft.standId);
  if (stand == nullptr || !stand->cargo) {
    return;
  }
  stand->cargo = false;
  stand->cargo_change = true;
  ++cargoStandsCleared;
  gf_logFlagged(fmt::format("{} stand: {}, cargo attribute set to false, {} parked here", currentParkAirport.code,
                            gf_standText(aircraft.standId), gf_acLabel(aircraft)));
  if (mainWindow.cargoChangedCount.exchange(cargoStandsCleared) != cargoStandsCleared) {
    gf_invalidateBand(rcStaticParking);
  }
}

}  // namespace cvl
