#include "engine/sim_result_handling.h"

#include <fmt/format.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "engine/activation.h"
#include "engine/ai_controls.h"
#include "engine/aircraft_removal.h"
#include "engine/aircraft_update.h"
#include "engine/engine_state.h"
#include "engine/live_ac_lookup.h"
#include "engine/live_creation.h"
#include "engine/sim_calls.h"
#include "engine/simulator_room.h"
#include "engine/stand_parking.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/user_error.h"
#include "simlink/client_events.h"
#include "simlink/creation_failures.h"
#include "simlink/flight_plan_file.h"
#include "simlink/request_error.h"
#include "simlink/sim_ids.h"

namespace cvl {
namespace {

// The simulator's static CG height is believed within these bounds (feet); the static pitch within -1 and 2.5
// degrees, else a pitch of 0.7 degrees stands in.
constexpr double lowestCgHeight = 1.0;
constexpr double highestCgHeight = 35.0;
constexpr double lowestStaticPitch = -0.017453292519943295;
constexpr double highestStaticPitch = 0.04363323129985824;
constexpr double fallbackStaticPitch = 0.012217304763960306;

// Spoilers out and both throttle levers at 100 percent (-100 for an FSLTL model).
AiControls lf_touchdownControls(const LiveAc& aircraft) {
  const double throttle = aircraft.fsltlTitle ? -100.0 : 100.0;
  return {100.0, throttle, throttle};
}

// The landing aircraft touched down: roll-out with spoilers out, attitude levelled over the category's slots.
void lf_touchDown(LiveAc& aircraft) {
  aircraft.derotate = true;
  aircraft.rollout = true;
  aircraft.rolloutHeading = aircraft.simPos.heading;
  aircraft.approach = false;
  aircraft.towRequest = true;
  gf_setSpoilers(aircraft, 1);
  gf_sendAiControls(aircraft, lf_touchdownControls(aircraft));
  const auto slots = static_cast<double>(aircraft.onGroundSlots);
  if (slots <= 0.0) {
    gf_log(fmt::format("{} ! onGround slots {:.1f}", aircraft.callsign, slots));
    aircraft.stepPitch = aircraft.staticPitch;
    aircraft.stepBank = 0.0;
  } else {
    aircraft.stepPitch = (aircraft.staticPitch - aircraft.simPos.pitch) / slots;
    aircraft.stepBank = (0.0 - aircraft.simPos.bank) / slots;
  }
  sameRegCheckQueue.push_back(aircraft.hexid);
}

// hexid holds the simulator's SIM ON GROUND; value1 the ground altitude, value2 the height above ground (feet).
void lf_onRangeReport(LiveAc& aircraft, const SimResult& result) {
  if (result.hexid == 1 && !aircraft.onGround && aircraft.phaseCounter <= 1 &&
      aircraft.state != AcState::removingfromsim && aircraft.phase != AcPhase::take_off) {
    if (aircraft.flareStage != 0 || aircraft.approach) {
      lf_touchDown(aircraft);
    }
    aircraft.onGround = true;
    aircraft.stepAlt = 0.0;
    aircraft.phaseCounter = 1;
  }
  aircraft.heightAgl = result.value2;
  if (aircraft.onGround || aircraft.phaseCounter >= 2) {
    aircraft.simPos.altitude = result.value1 + aircraft.staticCgHeight;
  }
}

void lf_onStaticCg(LiveAc& aircraft, const SimResult& result) {
  if (result.value1 >= lowestCgHeight && result.value1 <= highestCgHeight) {
    aircraft.staticCgHeight = result.value1;
  }
  const bool pitchBelievable = result.value2 > lowestStaticPitch && result.value2 <= highestStaticPitch;
  aircraft.staticPitch = pitchBelievable ? result.value2 : fallbackStaticPitch;
}

// The entry's aux word counts the ticks since the match.
void lf_startAgeing(SimResult entry) {
  entry.aux = 0;
  createdObjects.push_back(entry);
}

void lf_onLiveCreated(const SimResult& result) {
  LiveAc* aircraft = gf_takeCreatedObject(result);
  if (aircraft == nullptr) {
    gf_removeUnwantedObject(result);
    return;
  }
  // The object may be that of a creation given up, which showed after all: a later one is not needed any more.
  gf_withdrawCreation(*aircraft);
  if (lf_requestStaticCG(*aircraft, result)) {
    lf_startAgeing(result);
    return;
  }
  // Without a usable object id the aircraft can neither be moved nor removed in the simulator.
  gf_logFlagged(fmt::format("{} objectid={}? {}", "gf_handleSimResults", result.objectId, aircraft->callsign));
  aircraft->remove = true;
}

// The report of a refused creation names the title; the record goes whatever the report does.
template <class Record>
void lf_dropRefused(std::vector<Record>& records, std::uint32_t hexid) {
  const auto refused =
      std::find_if(records.begin(), records.end(), [hexid](const Record& aircraft) { return aircraft.hexid == hexid; });
  if (refused == records.end()) {
    return;
  }
  std::exception_ptr reportFailure;
  try {
    gf_reportCreationFailure(*refused);
  } catch (...) {
    reportFailure = std::current_exception();
  }
  std::iter_swap(refused, records.end() - 1);
  records.pop_back();
  if (reportFailure) {
    std::rethrow_exception(reportFailure);
  }
}

void lf_handleSimResult(const SimResult& result) {
  switch (result.kind) {
    case SimResultKind::liveCreated:
      lf_onLiveCreated(result);
      break;
    case SimResultKind::staticCreated:
      lf_startAgeing(result);
      break;
    case SimResultKind::removed:
      gf_noteObjectLeft();
      lf_onObjectRemoved(result.objectId);
      break;
    case SimResultKind::inRange:
      if (LiveAc* aircraft = gf_findLiveAcByObjectId(result.objectId)) {
        lf_onRangeReport(*aircraft, result);
      }
      break;
    case SimResultKind::staticCg:
      if (LiveAc* aircraft = gf_findLiveAcByObjectId(result.objectId)) {
        lf_onStaticCg(*aircraft, result);
      }
      break;
    case SimResultKind::blocked:
      lf_removeWhileBlocked(result.hexid);
      break;
    case SimResultKind::createRefused:
      if (result.hexid > maxStaticHexid) {
        lf_dropRefused(liveAcs, result.hexid);
      } else {
        lf_dropRefused(staticAcs, result.hexid);
      }
      break;
    case SimResultKind::createOverLimit:
      gf_onCreationOverLimit(result.hexid);
      break;
  }
}

void lf_deleteFlightPlan(std::uint32_t objectId) {
  const std::filesystem::path path = flightPlanFolder / gf_flightPlanPath(objectId);
  std::error_code error;
  if (std::filesystem::exists(path, error)) {
    std::filesystem::remove(path, error);
  }
  if (error) {
    gf_logFlagged(fmt::format("Warning: could not remove {}, errorcode: {}", path.string(), error.value()));
  }
}

}  // namespace

void gf_handleSimResults() {
  std::exception_ptr userError;
  for (const SimResult& result : gf_takeSimResults()) {
    try {
      lf_handleSimResult(result);
    } catch (const UserErrorException&) {
      if (!userError) {
        userError = std::current_exception();
      }
    } catch (const std::exception& e) {
      gf_logFlagged(fmt::format("{} exception {}", "gf_handleSimResults", e.what()));
    }
  }
  if (!createdObjects.empty()) {
    lf_onAcInSim();
  }
  if (userError) {
    std::rethrow_exception(userError);
  }
}

bool lf_requestStaticCG(LiveAc& aircraft, const SimResult& result) {
  if (result.objectId < firstAiObjectId) {
    return false;
  }
  aircraft.objectId = result.objectId;
  aircraft.heightAgl = result.value2;
  if (!aircraft.stream.empty() && !aircraft.stream.front().airborne) {
    lf_parks(aircraft);
  }
  lf_setFlightPlan(aircraft);
  if (gf_simCallFailed([objectId = aircraft.objectId](HANDLE handle) {
        return SimConnect_RequestDataOnSimObject(handle, REQ_STATIC_CG, DEF_STATIC_CG, objectId,
                                                 SIMCONNECT_PERIOD_ONCE);
      })) {
    gf_logFlagged("SimConnect request StaticCG fails");
    gf_onSimConnectRequestError();
  }
  return true;
}

void lf_onObjectRemoved(std::uint32_t objectId) {
  if (LiveAc* aircraft = gf_findLiveAcByObjectId(objectId)) {
    if (aircraft->state == AcState::liveryrespawn) {
      aircraft->state = AcState::buffer;
      aircraft->objectId = 0;
      aircraft->throttleLevel = 5;
      aircraft->flapsIndex = 4;
      return;
    }
    if (aircraft->hasFlightPlan) {
      lf_deleteFlightPlan(objectId);
    }
    lf_eraseLiveAc(*aircraft);
    return;
  }
  if (objectId == 0) {
    return;
  }
  const auto removed = std::find_if(staticAcs.begin(), staticAcs.end(),
                                    [objectId](const StaticAc& aircraft) { return aircraft.objectId == objectId; });
  if (removed != staticAcs.end()) {
    std::iter_swap(removed, staticAcs.end() - 1);
    staticAcs.pop_back();
  }
}

}  // namespace cvl
