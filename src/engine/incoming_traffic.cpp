#include "engine/incoming_traffic.h"

#include <algorithm>
#include <cmath>

#include "engine/aircraft_lists.h"
#include "engine/feed_time.h"
#include "engine/live_ac_lookup.h"
#include "engine/new_aircraft.h"
#include "engine/position_append.h"
#include "engine/respawn_check.h"
#include "engine/tick_count.h"
#include "parking/current_park_airport.h"

namespace cvl {
namespace {

constexpr double minItemInterval = 1.0;  // seconds
// Speed spikes: a tenfold change above this speed, or a jump between it and spikeJump (kt).
constexpr double spikeFloor = 5.0;
constexpr double spikeFactor = 10.0;
constexpr double spikeJump = 80.0;
// Thinning: positions closer than these distances (nm) to the last one on a straight line add nothing.
constexpr double airThinningNm = 0.2429805615550756;       // 450 m
constexpr double groundThinningNm = 0.010799136069114472;  // 20 m
constexpr double airThinningSpeed = 120.0;                 // kt, above
constexpr double groundThinningSpeed = 30.0;               // kt, at most
constexpr double airThinningTrack = 1.0;                   // degrees
constexpr double groundThinningTrack = 2.0;                // degrees
constexpr double longestGroundInterval = 15.0;             // seconds
// The altitude gate near the park airport's ground.
constexpr double gateCeiling = 10000.0;  // feet
constexpr double gateMargin = 108.0;     // feet

bool lf_isSpike(double last, double now) {
  return (last > spikeFloor && now >= spikeFactor * last) || (now > spikeFloor && last >= spikeFactor * now) ||
         (last <= spikeFloor && now >= spikeJump) || (now <= spikeFloor && last >= spikeJump);
}

// Seconds to cover the distance at the speed (kt).
double lf_secondsFor(double distanceNm, double speed) {
  return distanceNm / (speed / 3600.0);
}

bool lf_isThinnedOut(const LiveAc& aircraft, const TrafficItem& item) {
  const TimedPosition& last = aircraft.stream.back();
  const TimedPosition& next = item.position;
  const double interval = item.timestamp - aircraft.lastItemTime;
  const double turn = std::abs(next.track - last.track);
  const double speed = next.groundSpeed;
  if (next.airborne) {
    return speed > airThinningSpeed && turn <= airThinningTrack && interval <= lf_secondsFor(airThinningNm, speed);
  }
  if (speed > groundThinningSpeed || turn > groundThinningTrack) {
    return false;
  }
  const double limit =
      speed == 0.0 ? longestGroundInterval : std::min(lf_secondsFor(groundThinningNm, speed), longestGroundInterval);
  return interval <= limit;
}

bool lf_isSameFlightUnderNewHexid(const TrafficItem& item) {
  return !item.callsign.empty() && std::any_of(liveAcs.begin(), liveAcs.end(), [&item](const LiveAc& aircraft) {
    return aircraft.callsign == item.callsign && aircraft.type == item.type;
  });
}

}  // namespace

bool lf_isRedundantItem(const LiveAc& aircraft, const TrafficItem& item) {
  if (item.timestamp - aircraft.lastItemTime <= minItemInterval) {
    return true;
  }
  if (lf_isSpike(aircraft.stream.back().groundSpeed, item.position.groundSpeed)) {
    return true;
  }
  return aircraft.extraCount < 1 && lf_isThinnedOut(aircraft, item);
}

bool lf_nearParkAirportGround(double altitude) {
  return altitude > 0.0 && altitude < gateCeiling &&
         std::abs(altitude - gf_parkAirportReferenceAltitude()) <= gateMargin;
}

void lf_applyIncomingItem(TrafficItem& item) {
  LiveAc* aircraft = gf_findLiveAcByHexid(item.hexid);
  if (gf_isStampedAhead(item, aircraft)) {
    return;
  }
  if (aircraft == nullptr) {
    if (!lf_isSameFlightUnderNewHexid(item)) {
      lf_createLiveAcIfTyped(item);
    }
    return;
  }
  if (aircraft->state == AcState::liveryrespawn || aircraft->state == AcState::removingfromsim) {
    return;
  }
  if (!aircraft->stream.empty() && lf_isRedundantItem(*aircraft, item)) {
    return;
  }
  if (aircraft->state == AcState::buffer && lf_nearParkAirportGround(item.position.altitude)) {
    return;
  }
  if (!lf_checkRespawn(*aircraft, item)) {
    return;
  }
  aircraft->lastItemTime = item.timestamp;
  aircraft->lastItemTick = tickCount;
  decodeExisting(*aircraft, item.position);
}

}  // namespace cvl
