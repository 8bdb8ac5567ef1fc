#include "engine/approach_config.h"

#include <algorithm>

#include "engine/aircraft_stand.h"
#include "engine/engine_state.h"
#include "engine/ground_paths.h"
#include "engine/throttle_levels.h"
#include "foundation/geometry.h"
#include "parking/current_park_airport.h"
#include "simlink/client_events.h"
#include "trafficin/traffic_reader.h"

namespace cvl {
namespace {

constexpr double nearAirportNm = 10.0;
constexpr double descendingFtMin = -250.0;
constexpr double climbingFtMin = 400.0;
constexpr double fastClimbFtMin = 600.0;
constexpr double levelFtMin = 100.0;
constexpr double cleanHeightAgl = 2400.0;
constexpr double secondFlapsHeightAgl = 2000.0;
constexpr double jetClimbOutAgl = 2050.0;
constexpr double propClimbOutAgl = 625.0;
constexpr double standardQnh = 1013.25;
constexpr double feetPerHpa = 6.0;
constexpr double slowestApproachDescent = -601.0;
constexpr double finalDescent = -600.0;
constexpr double finalHeightAgl = 100.0;
constexpr double flareHeightAgl = 400.0;
constexpr double flarePitch = -4.0 * degreesToRadians;

bool lf_isJet(AcCategory category) {
  return category == AcCategory::Buzjets || category == AcCategory::Large || category == AcCategory::Heavy;
}

bool lf_nearParkAirport(const LiveAc& aircraft) {
  return !currentParkAirport.code.empty() &&
         gf_distanceNM({aircraft.simPos.lat, aircraft.simPos.lon}, {currentParkAirport.lat, currentParkAirport.lon}) <=
             nearAirportNm;
}

void lf_climbOutConfig(LiveAc& aircraft) {
  const double verticalSpeed = aircraft.stream.front().verticalSpeed;
  lf_narrowDueWindow(aircraft);
  gf_setCabinLights(aircraft.objectId, 1);
  aircraft.takeOffRoll = false;
  aircraft.approach = false;
  if (verticalSpeed <= descendingFtMin && aircraft.throttleLevel == 3) {
    gf_setWingThrottle(aircraft, 2);
  }
  if (verticalSpeed > climbingFtMin && aircraft.throttleLevel == 4) {
    gf_setWingThrottle(aircraft, 3);
  }
  if (aircraft.heightAgl >= cleanHeightAgl) {
    gf_setGear(aircraft, false);
    gf_setFlaps(aircraft, 0);
  } else if (verticalSpeed <= levelFtMin) {
    // One notch per position.
    if (aircraft.flapsIndex == 0) {
      gf_setFlaps(aircraft, 1);
    } else if (aircraft.flapsIndex == 1 && aircraft.heightAgl < secondFlapsHeightAgl) {
      gf_setFlaps(aircraft, 2);
    }
  }
}

void lf_startApproach(LiveAc& aircraft) {
  gf_setWingThrottle(aircraft, 1);
  gf_setFlaps(aircraft, 3);
  gf_setGear(aircraft, true);
  sameRegCheckQueue.push_back(aircraft.hexid);
  aircraft.approach = true;
  aircraft.configured = false;
  gf_forgetStand(aircraft);
  aircraft.phaseCounter = 1;
  aircraft.dueAhead = aircraft.takeOffRoll ? 5000 : 3000;
  aircraft.dueBehind = 3000;
}

void lf_cleanUp(LiveAc& aircraft) {
  lf_narrowDueWindow(aircraft);
  gf_setWingThrottle(aircraft, 4);
  gf_setGear(aircraft, false);
  gf_setFlaps(aircraft, 0);
  aircraft.configured = true;
  aircraft.flareStage = 0;
  aircraft.approach = false;
}

void lf_flareStage(LiveAc& aircraft, double stepAlt, double verticalSpeed, std::uint32_t stage) {
  aircraft.stepAlt = stepAlt;
  if (!aircraft.stream.empty()) {
    aircraft.stream.front().verticalSpeed = verticalSpeed;
  }
  aircraft.flareStage = stage;
}

void lf_startFlare(LiveAc& aircraft, double cgHeight) {
  if (!aircraft.groundElev && !currentParkAirport.code.empty()) {
    aircraft.groundElev = currentParkAirport.alt;
  }
  aircraft.heightAboveElev = aircraft.groundElev ? aircraft.simPos.altitude - *aircraft.groundElev : aircraft.heightAgl;
  if (std::min(aircraft.heightAgl, aircraft.heightAboveElev) <= cgHeight + 30.0) {
    aircraft.stepPitch = (flarePitch - aircraft.simPos.pitch) / std::max<std::uint32_t>(aircraft.flareTicks, 1);
    lf_flareStage(aircraft, -0.1, -601.0, 1);
  }
}

}  // namespace

void lf_lowAltitudeConfig(LiveAc& aircraft) {
  if (!aircraft.lowSet) {
    gf_setLights(aircraft.objectId, {1, 1, 1, 1, 1, 1, 1});
    aircraft.cruiseSet = false;
    aircraft.lowSet = true;
  }
  if (aircraft.heightAgl > (lf_isJet(aircraft.category) ? jetClimbOutAgl : propClimbOutAgl)) {
    lf_climbOutConfig(aircraft);
  } else {
    lf_approachConfig(aircraft);
  }
}

void lf_approachConfig(LiveAc& aircraft) {
  gf_setCabinLights(aircraft.objectId, 0);
  const bool near = lf_nearParkAirport(aircraft);
  const double verticalSpeed = aircraft.stream.front().verticalSpeed;
  if (verticalSpeed > descendingFtMin) {
    const bool steady = verticalSpeed <= fastClimbFtMin && (!aircraft.approach || near);
    if (!steady && !aircraft.configured) {
      lf_cleanUp(aircraft);
    }
  } else if (!aircraft.approach && near) {
    lf_startApproach(aircraft);
  }
}

double lf_approachDescent(const LiveAc& aircraft) {
  if (aircraft.heightAgl <= finalHeightAgl) {
    return finalDescent;
  }
  const auto& stream = aircraft.stream;
  const double meanReported =
      (stream.front().verticalSpeed + stream[std::min<std::size_t>(1, stream.size() - 1)].verticalSpeed) / 2.0;
  return std::min(meanReported - (trafficReader.qnh.load() - standardQnh) * feetPerHpa, slowestApproachDescent);
}

void lf_flareTick(LiveAc& aircraft) {
  if (aircraft.heightAgl > flareHeightAgl || !aircraft.approach || aircraft.onGround) {
    return;
  }
  const double cgHeight = aircraft.staticCgHeight;
  switch (aircraft.flareStage) {
    case 0:
      lf_startFlare(aircraft, cgHeight);
      break;
    case 1:
      if (aircraft.heightAgl <= cgHeight + 20.0) {
        aircraft.groundElev.reset();
        lf_flareStage(aircraft, -0.075, -450.0, 2);
      }
      break;
    case 2:
      if (aircraft.heightAgl <= cgHeight + 10.0) {
        aircraft.groundElev.reset();
        gf_setThrottle(aircraft, 0);
        lf_flareStage(aircraft, -0.05, -300.0, 3);
      }
      break;
    case 3:
      if (aircraft.heightAgl <= cgHeight + 3.0) {
        aircraft.groundElev.reset();
        lf_flareStage(aircraft, -0.025, -150.0, 4);
      }
      break;
    default:
      break;
  }
}

}  // namespace cvl
