#include "engine/stand_conflicts.h"

#include <fmt/format.h>

#include <algorithm>

#include "engine/aircraft_lists.h"
#include "engine/aircraft_removal.h"
#include "engine/conflict_rules.h"
#include "foundation/log.h"
#include "parking/stand_names.h"
#include "refdata/dbase_queries.h"

namespace cvl {

namespace {

LiveAc* lf_liveOnStand(std::uint32_t sid) {
  const auto occupant =
      std::find_if(liveAcs.begin(), liveAcs.end(), [sid](const LiveAc& each) { return each.standId == sid; });
  return occupant == liveAcs.end() ? nullptr : &*occupant;
}

bool lf_holdsStand(const LiveAc& occupant) {
  return occupant.state == AcState::active &&
         (occupant.phase == AcPhase::parked || occupant.phase == AcPhase::pushing_back ||
          occupant.phase == AcPhase::pushed_back);
}

bool lf_parkedOrPushing(const LiveAc& aircraft) {
  return aircraft.state == AcState::active &&
         (aircraft.phase == AcPhase::parked || aircraft.phase == AcPhase::pushing_back);
}

// Aircraft of these types on these two stands would overlap.
bool lf_collide(const ParkPos& standA, std::string_view typeA, const ParkPos& standB, std::string_view typeB) {
  const double distance = gf_distanceNM({standA.latitude, standA.longitude}, {standB.latitude, standB.longitude});
  return distance <= (gf_halfWingspan(typeA) + gf_halfWingspan(typeB)) * collisionMargin;
}

void lf_removeForStand(LiveAc& occupant, std::string_view logLine) {
  gf_log(logLine);
  removeAircraftFromSim(occupant);
}

}  // namespace

bool lf_standWanted(std::uint32_t sid, std::string_view callsign) {
  LiveAc* occupant = lf_liveOnStand(sid);
  if (occupant == nullptr || !lf_holdsStand(*occupant)) {
    return true;
  }
  const std::string stand = gf_standText(sid);
  const std::string_view held = occupant->callsign;
  if (held == callsign) {
    lf_removeForStand(*occupant, fmt::format("{:8}: {:8} ac with same callsign {} wants it, remove existing ... ",
                                             stand, held, callsign));
    return true;
  }
  // A ghost is the same callsign with '_' appended; "EZY12" is another flight than "EZY1".
  if (gf_isGhostCallsign(callsign) && gf_callsignLessLast(callsign) == held) {
    return false;  // the newcomer is the occupant's ghost
  }
  if (gf_isGhostCallsign(held) && (gf_callsignLessLast(held) == callsign || !gf_isGhostCallsign(callsign))) {
    lf_removeForStand(*occupant, fmt::format("{:8}: {:8} ghost, replace by {}", stand, held, callsign));
    return true;
  }
  if ((gf_isGhostCallsign(callsign) && !gf_isGhostCallsign(held)) || occupant->parkedListed) {
    return false;
  }
  lf_removeForStand(
      *occupant, fmt::format("{:8}: {:8} removed because another live {} wants the stand ...", stand, held, callsign));
  return true;
}

void lf_removeOccupant(std::uint32_t sid, LiveAc& newcomer) {
  LiveAc* occupant = lf_liveOnStand(sid);
  if (occupant == nullptr || occupant == &newcomer || occupant->state != AcState::active ||
      occupant->phase != AcPhase::parked) {
    return;
  }
  lf_removeForStand(*occupant, fmt::format("{:8}: {:8} removed, {} wants to park there", gf_standText(sid),
                                           occupant->callsign, newcomer.callsign));
}

void lf_removeAdjacentColliding(std::uint32_t neighbourSid, LiveAc& newcomer, ParkPos& stand) {
  const ParkPos* neighbour = gf_standBySid(neighbourSid);
  LiveAc* occupant = lf_liveOnStand(neighbourSid);
  if (neighbour == nullptr || occupant == nullptr || occupant == &newcomer || !lf_parkedOrPushing(*occupant) ||
      !lf_collide(*neighbour, occupant->type, stand, newcomer.type)) {
    return;
  }
  lf_removeForStand(*occupant,
                    fmt::format("{:8}: {:8} removed by parking {} at adjacent and possibly colliding stand {}",
                                gf_standText(*neighbour), occupant->callsign, newcomer.callsign, gf_standText(stand)));
}

std::vector<std::uint32_t>::const_iterator lf_findCollidingNeighbour(const std::vector<std::uint32_t>& neighbours,
                                                                     const ParkPos& stand, const LiveAc& newcomer) {
  return std::find_if(neighbours.begin(), neighbours.end(), [&stand, &newcomer](std::uint32_t sid) {
    const ParkPos* neighbour = gf_standBySid(sid);
    if (neighbour == nullptr) {
      return false;
    }
    return std::any_of(liveAcs.begin(), liveAcs.end(), [&](const LiveAc& occupant) {
      return occupant.standId == sid && lf_parkedOrPushing(occupant) && occupant.callsign != newcomer.callsign &&
             lf_collide(*neighbour, occupant.type, stand, newcomer.type);
    });
  });
}

void lf_makeWayExcludedStand(LiveAc& newcomer, std::uint32_t neighbourSid, ParkPos& stand) {
  const ParkPos* neighbour = gf_standBySid(neighbourSid);
  if (neighbour == nullptr) {
    return;
  }
  const auto colliding = std::find_if(staticAcs.begin(), staticAcs.end(), [&](const StaticAc& aircraft) {
    return aircraft.state == AcState::active && aircraft.standId == neighbourSid &&
           lf_collide(*neighbour, aircraft.type, stand, newcomer.type);
  });
  if (colliding == staticAcs.end()) {
    return;
  }
  gf_log(fmt::format("{:8}: {:8} makes way for {} parking at excluded stand {}", gf_standText(*neighbour),
                     colliding->callsign, newcomer.callsign, gf_standText(stand)));
  removeAircraftFromSim(*colliding);
}

void lf_makeWay(LiveAc& newcomer, ParkPos& stand) {
  // While a static aircraft is replaced, the old one leaving and its replacement coming share the stand: the one to
  // clear is the one that stays.
  const auto onStand = std::find_if(staticAcs.begin(), staticAcs.end(), [&stand](const StaticAc& aircraft) {
    return aircraft.standId == stand.sid && !gf_isLeaving(aircraft);
  });
  if (onStand != staticAcs.end()) {
    StaticAc& aircraft = *onStand;
    const bool sameFlight = aircraft.optCallsign == newcomer.callsign ||
                            (!newcomer.registration.empty() && aircraft.registration == newcomer.registration);
    const std::string_view suffix = sameFlight ? " the same live version" : "";
    const std::string line = fmt::format("{:8}: {:8} {} makes way for{} {} {}", gf_standText(stand), aircraft.callsign,
                                         aircraft.registration, suffix, newcomer.callsign, newcomer.registration);
    if (aircraft.state == AcState::adding2sim) {
      removeAircraftFromSim(aircraft);
      if (aircraft.removeNow) {
        gf_log(fmt::format("queued {}", line));
      }
    } else if (aircraft.state == AcState::active) {
      gf_log(line);
      removeAircraftFromSim(aircraft);
    }
  }
  std::erase_if(staticAcs, [](const StaticAc& aircraft) { return aircraft.removeNow; });
  for (const std::uint32_t neighbourSid : stand.neighbours) {
    lf_makeWayExcludedStand(newcomer, neighbourSid, stand);
  }
}

}  // namespace cvl
