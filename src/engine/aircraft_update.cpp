#include "engine/aircraft_update.h"

#include <fmt/format.h>

#include <exception>
#include <filesystem>

#include "app/sim_choice.h"
#include "engine/ac_labels.h"
#include "engine/aircraft_removal.h"
#include "engine/buffered_aircraft.h"
#include "engine/ground_paths.h"
#include "engine/live_creation.h"
#include "engine/position_append.h"
#include "engine/sim_calls.h"
#include "engine/stream_dry.h"
#include "engine/tick_count.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/strings.h"
#include "simlink/flight_plan_file.h"
#include "simlink/send_queues.h"
#include "simlink/sim_ids.h"

namespace cvl {
namespace {

bool lf_removeFlags(const LiveAc& aircraft) {
  return aircraft.remove || aircraft.removeNow;
}

// An aircraft without an object id cannot be taken out of the simulator: its record goes at once, so that its
// hexid is free for the flight's next reports.
void lf_removeOrErase(LiveAc& aircraft) {
  removeAircraftFromSim(aircraft);
  if (aircraft.objectId == 0 && aircraft.state == AcState::removingfromsim) {
    aircraft.remove = true;
  }
}

void lf_queuePosition(const LiveAc& aircraft) {
  const SimPosition& at = aircraft.simPos;
  simSendQueues.fillPositions->push_back(
      {at.lat, at.lon, at.pitch, at.bank, at.heading, at.altitude, at.verticalSpeed, at.tas, aircraft.objectId});
}

void lf_updateActive(LiveAc& aircraft) {
  if (aircraft.heldReport && aircraft.phase != AcPhase::pushing_back) {
    gf_playHeldReport(aircraft);
  }
  if (aircraft.stream.empty()) {
    gf_logFlagged(fmt::format("{} stream empty ? {}, hexid:{}, objectid:{}, alt:{:.0f} ft, lalo:{}, TAS:{:.0f}",
                              "updateLiveAc", gf_acLabel(aircraft), aircraft.hexid, gf_toHex(aircraft.objectId),
                              aircraft.simPos.altitude, formatPosition(aircraft.simPos.lat, aircraft.simPos.lon),
                              aircraft.simPos.tas));
    lf_removeOrErase(aircraft);
    return;
  }
  if (tickCount >= aircraft.stream.front().dueTick) {
    nextPosMain(aircraft);
    aircraft.simPos.verticalSpeed = aircraft.sendVs / 60.0;
    const bool standing = aircraft.stream.empty() || aircraft.stream.front().stationary;
    aircraft.simPos.tas = standing ? 0.0 : aircraft.sendSpeed;
  }
  if (aircraft.state != AcState::active || aircraft.stream.empty()) {
    return;
  }
  if (aircraft.stream.front().stationary) {
    lf_turnOnStand(aircraft);
  } else {
    lf_followCurve(aircraft);
  }
  if (aircraft.objectId != 0) {
    lf_queuePosition(aircraft);
    return;
  }
  gf_logFlagged(fmt::format("{} objectid=0? hexid: {},cs:{}, reg:{}, aimo:{} sz:{}", "updateLiveAc", aircraft.hexid,
                            aircraft.callsign, aircraft.registration, gf_airlineTypeText(aircraft),
                            aircraft.stream.size()));
  lf_removeOrErase(aircraft);
}

// A taxiing aircraft held where its reports stopped stands on the ground, whether or not the simulator has said so yet:
// skipping the position it holds at would only make it hold again.
bool lf_mayDropStationaryNext(const LiveAc& aircraft) {
  return !aircraft.onGround && !aircraft.holding && aircraft.stream[1].stationary &&
         aircraft.category != AcCategory::Rotorcraft;
}

}  // namespace

bool updateLiveAc(LiveAc& aircraft) {
  try {
    switch (aircraft.state) {
      case AcState::buffer:
        lf_handleBuffered(aircraft);
        break;
      case AcState::adding2sim:
        gf_checkShowDeadline(aircraft);
        break;
      case AcState::active:
        lf_updateActive(aircraft);
        break;
      default:
        break;
    }
    return lf_removeFlags(aircraft);
  } catch (const std::exception& e) {
    gf_logFlagged(fmt::format("{}: {} {}, sz:{}, fs:{}, st:{}", "updateLiveAc", e.what(), gf_acLabel(aircraft),
                              aircraft.stream.size(), phaseName(aircraft.phase), stateName(aircraft.state)));
    return aircraft.remove;
  }
}

void nextPosMain(LiveAc& aircraft) {
  auto& stream = aircraft.stream;
  // A flying aircraft skips the stationary positions ahead of it until the simulator reports its touchdown; a stream
  // that runs dry makes up a position or lets the aircraft go.
  while (true) {
    if (stream.size() >= 2) {
      if (!lf_mayDropStationaryNext(aircraft)) {
        break;
      }
      stream.erase(stream.begin() + 1);
      continue;
    }
    if (!lf_streamDry(aircraft)) {
      lf_removeOrErase(aircraft);
      return;
    }
    if (stream.size() < 2) {
      return;
    }
  }
  lf_stepStream(aircraft);
}

void lf_setFlightPlan(LiveAc& aircraft) {
  if (aircraft.origin.empty() || aircraft.destination.empty()) {
    return;
  }
  const std::filesystem::path path = flightPlanFolder / gf_flightPlanPath(aircraft.objectId);
  bool done = gf_writeFlightPlan(path, aircraft);
  if (done && msfs2020Mode) {
    done = !gf_simCallFailed([&](HANDLE handle) {
      return SimConnect_AISetAircraftFlightPlan(handle, aircraft.objectId, path.string().c_str(), REQ_AI_FLIGHT_PLAN);
    });
  }
  aircraft.hasFlightPlan = done;
  if (!done) {
    gf_logFlagged(fmt::format("{} creating a flight plan failed", gf_acLabel(aircraft)));
  }
}

}  // namespace cvl
