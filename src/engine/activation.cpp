#include "engine/activation.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "engine/aircraft_removal.h"
#include "engine/engine_state.h"
#include "engine/live_ac_lookup.h"
#include "engine/parked_controls.h"
#include "engine/sim_calls.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "parking/stand_names.h"
#include "simlink/client_events.h"
#include "simlink/request_error.h"
#include "simlink/sim_ids.h"

namespace cvl {
namespace {

constexpr std::uint32_t activationAge = 200;
constexpr std::uint32_t firstLightsToggleAge = 50;
constexpr std::uint32_t secondLightsToggleAge = 100;
constexpr double lowAltitude = 10000.0;      // feet: landing and logo lights below
constexpr double cabinLightHeight = 2000.0;  // feet above ground: cabin lights above

std::uint32_t onOff(bool on) {
  return on ? 1U : 0U;
}

void lf_toggleAllLights(std::uint32_t objectId) {
  if (gf_simCallFailed([objectId](HANDLE handle) {
        return SimConnect_TransmitClientEvent(handle, objectId, ALL_LIGHTS_TOGGLE, 0, GROUP_AI_EVENTS, 0);
      })) {
    gf_logFlagged("SimConnect gf_allLightsToggle fails");
    gf_onSimConnectRequestError();
  }
}

void lf_startAirborne(LiveAc& aircraft) {
  const bool low = aircraft.simPos.altitude <= lowAltitude;
  gf_engineStart(aircraft.objectId);
  gf_setSpoilers(aircraft, 0);
  gf_setLights(aircraft.objectId, {1, 1, onOff(low), 0, 1, onOff(low), onOff(aircraft.heightAgl >= cabinLightHeight)});
}

void lf_startOnGround(LiveAc& aircraft) {
  const bool parked = aircraft.phase == AcPhase::parked;
  const bool taxi = aircraft.phase == AcPhase::taxi;
  gf_setSpoilers(aircraft, 0);
  std::uint32_t nav = 1;
  if (parked) {
    gf_engineShutdown(aircraft.objectId);
    nav = onOff(NAV_LIGHTS_WHILE_PARKED.value);
  } else {
    gf_engineStart(aircraft.objectId);
  }
  gf_setLights(aircraft.objectId, {nav, onOff(!parked), 0, onOff(taxi), 0, 1, 1});
  gf_setThrottle(aircraft, aircraft.category == AcCategory::Rotorcraft ? 4 : 0);
  gf_setFlaps(aircraft, taxi ? 1 : 0);
}

// A static aircraft whose removal was asked for while its creation was under way goes now that it is in the simulator.
// A live one never gets this far: its object goes as soon as it shows.
void lf_removeIfWaiting(StaticAc& aircraft) {
  if (aircraft.waitRemove) {
    aircraft.waitRemove = false;
    removeAircraftFromSim(aircraft);
  }
}

// True when the entry is done: activated, or its aircraft has gone.
bool lf_activateLive(SimResult& entry) {
  if (entry.aux < activationAge) {
    ++entry.aux;
    if (entry.aux == firstLightsToggleAge || entry.aux == secondLightsToggleAge) {
      lf_toggleAllLights(entry.objectId);
    }
    return false;
  }
  // Its aircraft may have gone meanwhile, or be leaving already.
  LiveAc* aircraft = gf_findLiveAcByHexid(entry.hexid);
  if (aircraft == nullptr || aircraft->objectId != entry.objectId || aircraft->state != AcState::adding2sim) {
    return true;
  }
  const bool airborne = !aircraft->stream.empty() && aircraft->stream.front().airborne;
  if (airborne) {
    lf_startAirborne(*aircraft);
  } else {
    lf_startOnGround(*aircraft);
  }
  aircraft->state = AcState::active;
  return true;
}

bool lf_activateStatic(SimResult& entry) {
  if (entry.aux < activationAge) {
    ++entry.aux;
    return false;
  }
  StaticAc* aircraft = gf_findStaticAcByHexid(entry.hexid);
  if (aircraft == nullptr) {
    return true;
  }
  aircraft->state = AcState::active;
  aircraft->objectId = entry.objectId;
  lf_resetAcControls(*aircraft);
  gf_log(fmt::format("{:8}: {:8} parked", gf_standText(aircraft->standId), aircraft->callsign));
  lf_removeIfWaiting(*aircraft);
  return true;
}

}  // namespace

void lf_onAcInSim() {
  bool anyDone = false;
  for (SimResult& entry : createdObjects) {
    if (entry.aux == activeAge) {
      continue;
    }
    const bool done = entry.kind == SimResultKind::liveCreated ? lf_activateLive(entry) : lf_activateStatic(entry);
    if (done) {
      entry.aux = activeAge;
      anyDone = true;
    }
  }
  if (anyDone) {
    std::erase_if(createdObjects, [](const SimResult& entry) { return entry.aux == activeAge; });
  }
}

}  // namespace cvl
