#include "engine/conflict_rules.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "app/main_window.h"
#include "engine/ac_labels.h"
#include "engine/aircraft_lists.h"
#include "engine/aircraft_removal.h"
#include "engine/engine_state.h"
#include "engine/ground_paths.h"
#include "engine/stream_points.h"
#include "engine/tick_count.h"
#include "foundation/log.h"
#include "foundation/throttled_log.h"
#include "parking/stand_names.h"

namespace cvl {

namespace {

LatLon lf_standOf(const StaticAc& aircraft) {
  return {aircraft.standLat, aircraft.standLon};
}

// One of the static aircraft's two callsigns (empty ones never match) equals the text.
bool lf_hasStaticCallsign(const StaticAc& aircraft, std::string_view callsign) {
  return !callsign.empty() && (aircraft.optCallsign == callsign || aircraft.cplCallsign == callsign);
}

bool lf_sameOrCoupledCallsign(const StaticAc& aircraft, const LiveAc& live) {
  if (lf_hasStaticCallsign(aircraft, live.callsign) || lf_hasStaticCallsign(aircraft, live.cplCallsign)) {
    return true;
  }
  return gf_isGhostCallsign(live.callsign) && lf_hasStaticCallsign(aircraft, gf_callsignLessLast(live.callsign));
}

// Feet from the line through the user along its heading; the angle is taken within -pi..pi so that an aircraft on
// any side counts by its distance from the line.
double lf_lateralOffsetFeet(double bearingFromUser, double userHeading, double distanceNm) {
  return std::abs(std::sin(lf_wrappedAngle(bearingFromUser - userHeading))) * distanceNm * feetPerNauticalMile;
}

bool lf_inUserWay(const LiveAc& aircraft, const UserAcData& user) {
  const LatLon userPosition{user.latitude, user.longitude};
  const LatLon position = gf_latLonOf(aircraft.simPos);
  const double distance = gf_distanceNM(userPosition, position);
  const double bearing = gf_bearing(userPosition, position);
  if (aircraft.onGround && user.altitudeAboveGround < 500.0 && distance <= 1.0 &&
      lf_lateralOffsetFeet(bearing, user.heading, distance) <= 50.0) {
    return true;
  }
  if (distance > 4.0 || std::abs(aircraft.simPos.altitude - user.altitude) >= 1000.0) {
    return false;
  }
  // The angle between the aircraft's heading and the bearing, measured from the perpendicular (0 to 90 degrees).
  const double fromPerpendicular =
      std::abs(std::abs(lf_wrappedAngle(aircraft.simPos.heading - bearing)) - std::numbers::pi / 2.0);
  return std::cos(fromPerpendicular) * distance * feetPerNauticalMile <= 700.0;
}

// A sender can report any number of flights twice, the second time with '_' appended.
void lf_logGhostRemoval(const LiveAc& ghost, std::string_view callsign) {
  static ThrottledLog limit{"Conflict rules", "ghost removal", gf_tickTime};
  if (!limit.admit()) {
    return;
  }
  if (ghost.phase == AcPhase::parked) {
    gf_log(fmt::format("{:8}: {:8} is a ghost and will be removed, continue with {}", gf_standText(ghost.standId),
                       ghost.callsign, callsign));
  } else {
    gf_log(fmt::format("          {:8} is a ghost and will be removed, continue with {}", ghost.callsign, callsign));
  }
}

}  // namespace

std::unordered_set<std::string> ghostCallsigns;

std::string_view gf_callsignLessLast(std::string_view callsign) {
  return callsign.empty() ? callsign : callsign.substr(0, callsign.size() - 1);
}

bool gf_isGhostCallsign(std::string_view callsign) {
  return callsign.ends_with('_');
}

void lf_removeGhost(std::string_view callsign) {
  const std::string ghostCallsign = fmt::format("{}_", callsign);
  const auto ghost = std::find_if(liveAcs.begin(), liveAcs.end(), [&ghostCallsign](const LiveAc& each) {
    return each.state != AcState::removingfromsim && each.callsign == ghostCallsign;
  });
  if (ghost == liveAcs.end()) {
    return;
  }
  lf_logGhostRemoval(*ghost, callsign);
  ghostCallsigns.insert(ghostCallsign);
  removeAircraftFromSim(*ghost);
}

bool lf_hasLiveTwin(std::string_view callsign) {
  if (!gf_isGhostCallsign(callsign)) {
    return false;
  }
  const std::string_view twin = gf_callsignLessLast(callsign);
  return std::any_of(liveAcs.begin(), liveAcs.end(), [twin](const LiveAc& each) {
    return each.state != AcState::removingfromsim && each.callsign == twin;
  });
}

void gf_checkSameRegOrCallsign(LiveAc& live, bool onGround) {
  if (live.callsign.empty()) {
    return;
  }
  const std::string_view word = onGround ? "on ground" : "airborne";
  for (StaticAc& aircraft : staticAcs) {
    if (aircraft.state != AcState::active) {
      continue;
    }
    if (!live.registration.empty() && aircraft.registration == live.registration) {
      gf_log(fmt::format("{:8}: {:8} {} removed, new {} '{}' has same regcode {}", gf_standText(aircraft.standId),
                         aircraft.callsign, aircraft.registration, word, live.callsign, live.registration));
      removeAircraftFromSim(aircraft);
      return;
    }
    if (lf_sameOrCoupledCallsign(aircraft, live)) {
      gf_log(fmt::format("{:8}: {:8} '{}' '{}' removed, new {} {} '{}' '{}' has {} callsign",
                         gf_standText(aircraft.standId), aircraft.callsign, aircraft.optCallsign, aircraft.cplCallsign,
                         word, live.callsign, live.optCallsign, live.cplCallsign,
                         aircraft.optCallsign == live.callsign ? "same" : "coupled"));
      removeAircraftFromSim(aircraft);
      return;
    }
  }
}

std::string gf_staticCallsign(std::string_view callsign) {
  while (gf_isGhostCallsign(callsign)) {
    callsign.remove_suffix(1);
  }
  if (callsign.ends_with('*')) {
    return std::string(callsign);
  }
  return fmt::format("{}{}", callsign, '*');
}

void gf_removeStaticTwins() {
  for (const LiveAc& live : liveAcs) {
    if (live.state != AcState::active || !live.onGround) {
      continue;
    }
    const std::string twinCallsign = fmt::format("{}*", live.callsign);
    const auto twin = std::find_if(staticAcs.begin(), staticAcs.end(), [&](const StaticAc& aircraft) {
      return aircraft.callsign == twinCallsign ||
             (!live.registration.empty() && aircraft.registration == live.registration);
    });
    if (twin != staticAcs.end() && twin->state == AcState::active) {
      gf_log(fmt::format("{:8}: {:8} removed, live {} is the same flight", gf_standText(twin->standId), twin->callsign,
                         live.callsign));
      removeAircraftFromSim(*twin);
      return;
    }
  }
}

void gf_removeAcNearUser() {
  if (!gf_engineUserPositionKnown()) {
    return;
  }
  const UserAcData user = engineUserPosition;
  const auto inTheWay = std::find_if(liveAcs.begin(), liveAcs.end(), [&user](const LiveAc& aircraft) {
    return aircraft.state == AcState::active && lf_inUserWay(aircraft, user);
  });
  if (inTheWay != liveAcs.end()) {
    gf_log(fmt::format("{} removed, in the way of the user aircraft", lf_callsignText(*inTheWay)));
    removeAircraftFromSim(*inTheWay);
  }
}

void gf_collisionAvoidStatic(LiveAc& live) {
  if (live.takeOffRoll || live.rollout) {
    return;
  }
  live.collisionProbe = gf_latLonOf(live.simPos);
  const auto colliding = std::find_if(staticAcs.begin(), staticAcs.end(), [&live](const StaticAc& aircraft) {
    return aircraft.state == AcState::active && aircraft.callsign != live.callsign &&
           gf_distanceNM(lf_standOf(aircraft), live.collisionProbe) <=
               (aircraft.halfSpan + live.halfSpan) * collisionMargin;
  });
  if (colliding != staticAcs.end()) {
    gf_log(fmt::format("{:8}: {:8} removed for collision avoidance with static {}", gf_standText(colliding->standId),
                       colliding->callsign, live.callsign));
    removeAircraftFromSim(*colliding);
  }
}

void gf_clearReservedStand() {
  const auto stand = gf_findStandByName(mainWindow.reservedStandName.get());
  // Without that stand nothing stands on it; aircraft without a stand (id 0) are not on it either.
  if (stand == parkPositions.end() || stand->sid == 0) {
    return;
  }
  const std::uint32_t sid = stand->sid;
  const auto staticOnStand = std::find_if(staticAcs.begin(), staticAcs.end(), [sid](const StaticAc& aircraft) {
    return aircraft.state == AcState::active && aircraft.standId == sid;
  });
  if (staticOnStand != staticAcs.end()) {
    gf_log(fmt::format("{:8}: {:8} removed from the reserved stand", gf_standText(*stand), staticOnStand->callsign));
    removeAircraftFromSim(*staticOnStand);
    return;
  }
  const auto liveOnStand = std::find_if(liveAcs.begin(), liveAcs.end(), [sid](const LiveAc& aircraft) {
    return aircraft.state == AcState::active && aircraft.phase == AcPhase::parked && aircraft.standId == sid;
  });
  if (liveOnStand != liveAcs.end()) {
    gf_log(fmt::format("{:8}: {:8} removed from the reserved stand", gf_standText(*stand), liveOnStand->callsign));
    removeAircraftFromSim(*liveOnStand);
  }
}

}  // namespace cvl
