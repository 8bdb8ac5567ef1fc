#include "engine/stream_dry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/aircraft_lists.h"
#include "engine/shown_categories.h"
#include "engine/stand_arrival.h"
#include "engine/stream_points.h"
#include "engine/tick_count.h"
#include "foundation/geometry.h"
#include "foundation/settings_catalogue.h"
#include "parking/current_park_airport.h"
#include "parking/park_pos.h"

namespace cvl {
namespace {

// Two taxiing aircraft closer than both half spans and a fifth more block each other.
constexpr double taxiClearance = 1.2;
constexpr std::int32_t holdingStepTicks = 300;
constexpr std::int32_t ticksPerMinute = 60 * ticksPerSecond;
// Positions made up for an aircraft whose reports stopped.
constexpr std::int32_t airborneMadeUp = 8;
constexpr std::int32_t groundMadeUp = 10;
constexpr std::int32_t parkedMadeUp = 1;
// Seconds between two made-up positions.
constexpr std::int32_t parkedSeconds = 604800;
constexpr std::int32_t groundSeconds = 3;
constexpr std::int32_t airSeconds = 8;
constexpr double nearAirportLevelFeet = 1000.0;
constexpr double approachDescentFtMin = -667.0;
constexpr double approachDescentFtPerSecond = 10.005;
constexpr double climbOutFtMin = 1500.0;
constexpr double climbOutFtPerSecond = 25.0;
constexpr double secondsPerHour = 3600.0;

std::int32_t lf_dueLater(std::int32_t due, std::int64_t ticks) {
  return static_cast<std::int32_t>(std::min<std::int64_t>(due + ticks, std::numeric_limits<std::int32_t>::max()));
}

// A taxiing aircraft, or one pushed back, holds where its reports stopped.
bool lf_holdsWhenDry(const LiveAc& aircraft) {
  return aircraft.phase == AcPhase::pushed_back ||
         (aircraft.phase == AcPhase::taxi && !aircraft.takeOffRoll && !aircraft.rollout);
}

bool lf_blockedByTaxiingAircraft(const LiveAc& aircraft) {
  return std::any_of(liveAcs.begin(), liveAcs.end(), [&aircraft](const LiveAc& other) {
    return other.onGround && other.phase == AcPhase::taxi && other.state == AcState::active &&
           other.objectId != aircraft.objectId &&
           gf_distanceNM(gf_latLonOf(aircraft.simPos), gf_latLonOf(other.simPos)) <=
               (aircraft.halfSpan + other.halfSpan) * taxiClearance;
  });
}

// Holds the aircraft in place for another few seconds; false once it has held too long or stands in another's way.
bool lf_holdInPlace(LiveAc& aircraft) {
  if (lf_blockedByTaxiingAircraft(aircraft)) {
    aircraft.holding = false;
    aircraft.holdStart = 0;
    return false;
  }
  if (aircraft.holding) {
    const std::int32_t minutes = (tickCount - aircraft.holdStart) / ticksPerMinute;
    if (AIRBORNE_ONLY.value || minutes > MAX_HOLDING_MINUTES.value) {
      return false;
    }
  } else {
    aircraft.holdStart = tickCount;
  }
  aircraft.holding = true;
  TimedPosition still = aircraft.stream.front();
  still.dueTick = lf_dueLater(still.dueTick, holdingStepTicks);
  still.groundSpeed = 0.0;
  still.stationary = true;
  aircraft.stream.push_back(still);
  aircraft.extraCount = 1;
  return true;
}

// How many positions to make up when the reports have just stopped; 0: none, the aircraft goes.
std::int32_t lf_positionsToMakeUp(const LiveAc& aircraft) {
  if (!gf_categoryShown(aircraft.category)) {
    return 0;
  }
  if (aircraft.onGround) {
    return aircraft.phase == AcPhase::parked ? parkedMadeUp : groundMadeUp;
  }
  if (gf_atRangeEdge(gf_latLonOf(aircraft.simPos))) {
    return 0;
  }
  if (AIRBORNE_ONLY.value) {
    const double airportLevel = currentParkAirport.code.empty() ? 0.0 : currentParkAirport.alt;
    return std::abs(aircraft.simPos.altitude - airportLevel) >= nearAirportLevelFeet ? airborneMadeUp : 0;
  }
  return airborneMadeUp;
}

// The take-off roll runs on to rotation speed and beyond.
void lf_speedUp(TimedPosition& made) {
  const double speed = made.groundSpeed;
  if (speed <= 30.0) {
    made.groundSpeed = 40.0;
  } else if (speed <= 60.0) {
    made.groundSpeed = 80.0;
  } else if (speed <= 100.0) {
    made.groundSpeed = 110.0;
  } else if (speed <= 140.0) {
    made.groundSpeed = 150.0;
    made.verticalSpeed = 600.0;
  } else if (speed <= 160.0) {
    made.groundSpeed = 170.0;
    made.verticalSpeed = 1200.0;
  } else {
    made.groundSpeed = 180.0;
    made.verticalSpeed = 2400.0;
  }
}

// The landing roll-out slows down.
void lf_slowDown(TimedPosition& made) {
  const double speed = made.groundSpeed;
  if (speed >= 140.0) {
    made.groundSpeed = 100.0;
  } else if (speed >= 100.0) {
    made.groundSpeed = 80.0;
  } else if (speed >= 80.0) {
    made.groundSpeed = 60.0;
  } else if (speed >= 60.0) {
    made.groundSpeed = 30.0;
  } else {
    made.groundSpeed = 20.0;
  }
  made.verticalSpeed = 0.0;
}

// The speed of the next made-up position; false when the aircraft is to stand still.
bool lf_madeUpSpeed(const LiveAc& aircraft, TimedPosition& made, std::int32_t count) {
  if (!aircraft.onGround) {
    if (!aircraft.approach) {
      made.groundSpeed = std::max(made.groundSpeed * 0.95, 1.0);
    } else if (count >= 4) {
      made.groundSpeed = std::max(made.groundSpeed * 0.9, 1.0);
    }
  } else if (aircraft.rollout) {
    lf_slowDown(made);
  } else if (aircraft.takeOffRoll) {
    lf_speedUp(made);
  } else {
    return false;
  }
  return true;
}

// Along the current heading for the seconds between two made-up positions, descending on approach and climbing in
// the take-off.
void lf_goOn(const LiveAc& aircraft, TimedPosition& made, std::int32_t seconds) {
  if (made.groundSpeed > 0.0) {
    const LatLon from = gf_latLonOf(made);
    const LatLon to = gf_destinationPoint(from, aircraft.simPos.heading,
                                          made.groundSpeed * seconds * feetPerNauticalMile / secondsPerHour);
    made.lat = to.lat;
    made.lon = to.lon;
    made.stationary = gf_samePoint(made, from);
    if (aircraft.approach && aircraft.flareStage == 0) {
      made.verticalSpeed = approachDescentFtMin;
      made.altitude -= seconds * approachDescentFtPerSecond;
    } else if (aircraft.phase == AcPhase::take_off) {
      made.verticalSpeed = climbOutFtMin;
      made.altitude += seconds * climbOutFtPerSecond;
    }
  }
  made.airborne = made.altitude > 0.0;
  if (!made.airborne) {
    made.altitude = 0.0;
  }
}

void lf_standStill(TimedPosition& made) {
  made.stationary = true;
  made.groundSpeed = 0.0;
}

}  // namespace

bool lf_streamDry(LiveAc& aircraft) {
  if (aircraft.stream.empty()) {
    return false;
  }
  if (aircraft.phase == AcPhase::parking) {
    lf_arrivedAtStand(aircraft);
  } else if (lf_holdsWhenDry(aircraft)) {
    return lf_holdInPlace(aircraft);
  }
  if (aircraft.extraCount < 0) {
    return false;
  }
  if (aircraft.extraCount == 1) {
    aircraft.extraCount = -1;
    return false;
  }
  const std::int32_t count = aircraft.extraCount >= 2 ? aircraft.extraCount - 1 : lf_positionsToMakeUp(aircraft);
  if (count == 0) {
    return false;
  }
  lf_makeUpPosition(aircraft, count);
  return true;
}

void lf_makeUpPosition(LiveAc& aircraft, std::int32_t count) {
  aircraft.extraCount = count;
  TimedPosition made = aircraft.stream.front();
  const bool parked = aircraft.phase == AcPhase::parked;
  const std::int32_t seconds = parked ? parkedSeconds : aircraft.onGround ? groundSeconds : airSeconds;
  if (made.stationary || parked || !lf_madeUpSpeed(aircraft, made, count)) {
    lf_standStill(made);
  } else {
    lf_goOn(aircraft, made, seconds);
  }
  made.dueTick = lf_dueLater(made.dueTick, static_cast<std::int64_t>(seconds) * ticksPerSecond);
  if (parked) {
    aircraft.parkedListed = false;
    if (ParkPos* stand = gf_standBySid(aircraft.standId)) {
      stand->makeWayMark = false;
    }
  }
  aircraft.stream.push_back(made);
}

}  // namespace cvl
