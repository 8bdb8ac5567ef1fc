#include "engine/respawn_check.h"

#include <fmt/format.h>

#include "engine/ac_labels.h"
#include "engine/conflict_rules.h"
#include "engine/livery_respawn.h"
#include "engine/phase_change.h"
#include "engine/remembered_titles.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "liveries/regcode_titles.h"
#include "parking/current_park_airport.h"
#include "parking/stand_options.h"
#include "refdata/registration_lookup.h"

namespace cvl {
namespace {

void lf_takeNonEmpty(std::string& field, const std::string& update) {
  if (!update.empty() && update != field) {
    field = update;
  }
}

bool lf_sameAirlineAndType(const LiveAc& aircraft, const DbaseRecord& record) {
  return record.airl == aircraft.airline && record.type == aircraft.type;
}

// The dbase operator, else its airline, and its type (when it knows one).
void lf_takeDbaseIdentity(LiveAc& aircraft, const DbaseRecord& record) {
  lf_takeNonEmpty(aircraft.airline, record.opr.empty() ? record.airl : record.opr);
  lf_takeNonEmpty(aircraft.type, record.type);
}

// A new callsign on a known aircraft: a ghost of a live twin is dropped; otherwise the ghost of the new callsign goes
// and the record takes the callsign. False: drop the item.
bool lf_takeNewCallsign(LiveAc& aircraft, const TrafficItem& item) {
  if (!gf_isGhostCallsign(item.callsign)) {
    lf_removeGhost(item.callsign);
  } else if (lf_hasLiveTwin(item.callsign)) {
    return false;
  }
  aircraft.callsign = item.callsign;
  aircraft.optCallsign = item.callsign;
  aircraft.cplCallsign.clear();
  return true;
}

bool lf_respawnsOnChange(LiveAc& aircraft) {
  if (!GUID_CHANGES.value) {
    return true;
  }
  gf_logIndented(fmt::format("{} respawns", lf_acLabelLong(aircraft)));
  liveryRespawn(aircraft);
  return false;
}

}  // namespace

bool lf_checkRespawn(LiveAc& aircraft, TrafficItem& item) {
  if (aircraft.takeOffRoll || aircraft.approach) {
    return true;
  }
  if (aircraft.state == AcState::buffer) {
    lf_updateBufferedIdentity(aircraft, item);
    return true;
  }
  if (aircraft.state != AcState::active || aircraft.phase == AcPhase::pushing_back || aircraft.extraCount >= 1) {
    return true;
  }
  const bool unchanged = lf_routeUnchanged(aircraft, item) && lf_registrationUnchanged(aircraft, item);
  const bool newCallsign =
      !item.callsign.empty() && item.callsign != aircraft.callsign && item.callsign != aircraft.registration;
  if (newCallsign) {
    if (!lf_takeNewCallsign(aircraft, item)) {
      return false;
    }
  } else if (unchanged) {
    return true;
  }
  return lf_respawnsOnChange(aircraft);
}

void lf_updateBufferedIdentity(LiveAc& aircraft, const TrafficItem& item) {
  lf_takeNonEmpty(aircraft.destination, item.destination);
  lf_takeNonEmpty(aircraft.origin, item.origin);
  lf_takeNonEmpty(aircraft.callsign, item.callsign);
  lf_takeNonEmpty(aircraft.registration, item.registration);
}

bool lf_routeUnchanged(LiveAc& aircraft, const TrafficItem& item) {
  bool filled = false;
  for (auto [field, update] :
       {std::pair{&aircraft.origin, &item.origin}, std::pair{&aircraft.destination, &item.destination}}) {
    if (field->empty() && !update->empty()) {
      *field = *update;
      filled = true;
    }
  }
  const bool bothKnown =
      !item.origin.empty() && !item.destination.empty() && !aircraft.origin.empty() && !aircraft.destination.empty();
  if (!bothKnown || item.origin == aircraft.origin || item.destination == aircraft.destination) {
    return !filled;
  }
  // A flight that turned back to the park airport keeps its route.
  if (aircraft.origin == currentParkAirport.iata && item.destination == aircraft.origin) {
    return !filled;
  }
  aircraft.origin = item.origin;
  aircraft.destination = item.destination;
  if (aircraft.onGround && aircraft.phase != AcPhase::parking && aircraft.phase != AcPhase::parked) {
    gf_setPhase(aircraft, AcPhase::taxi);
    aircraft.targetHeading = aircraft.simPos.heading;
  }
  return false;
}

bool lf_registrationUnchanged(LiveAc& aircraft, const TrafficItem& item) {
  if (item.registration.empty()) {
    return true;
  }
  bool unchanged = true;
  const bool registrationIsCallsign = aircraft.registration == aircraft.callsign;
  if (aircraft.registration.empty() || (registrationIsCallsign && item.registration != aircraft.registration)) {
    unchanged = !lf_registrationOnCallsign(aircraft, item);
  } else if (item.registration != aircraft.registration) {
    unchanged = !lf_registrationChanged(aircraft, item);
  }
  aircraft.registration = item.registration;
  return unchanged;
}

bool lf_registrationOnCallsign(LiveAc& aircraft, const TrafficItem& item) {
  const auto title = RegcodeTitleMap.find(item.registration);
  if (title != RegcodeTitleMap.end()) {
    if (title->second == aircraft.liveryTitle) {
      return false;
    }
    if (const auto record = gf_findDbaseRecord(item.registration)) {
      lf_takeNonEmpty(aircraft.airline, record->airl);
      lf_takeNonEmpty(aircraft.type, record->type);
    }
    lf_forgetLivery(aircraft);
    return true;
  }
  if (item.registration == aircraft.registration) {
    return false;
  }
  const auto record = gf_findDbaseRecord(item.registration);
  if (!record || lf_sameAirlineAndType(aircraft, *record)) {
    return false;
  }
  lf_takeDbaseIdentity(aircraft, *record);
  lf_forgetLivery(aircraft);
  return true;
}

bool lf_registrationChanged(LiveAc& aircraft, const TrafficItem& item) {
  const auto record = gf_findDbaseRecord(item.registration);
  if (!record || lf_sameAirlineAndType(aircraft, *record) || record->opr == aircraft.airline) {
    return false;
  }
  const bool itemAirlineMatches =
      !item.airline.empty() && (item.airline == record->airl || (!record->opr.empty() && item.airline == record->opr));
  if (itemAirlineMatches) {
    lf_takeDbaseIdentity(aircraft, *record);
  }
  if (aircraft.phase == AcPhase::parked && aircraft.standId != 0) {
    lf_addRealStandOption(aircraft.standId, aircraft, 0);
  }
  lf_forgetLivery(aircraft);
  return true;
}

void lf_forgetLivery(LiveAc& aircraft) {
  gf_forgetRememberedTitle(aircraft.hexid);
  aircraft.liveryTitle = {};
  gf_setPhase(aircraft, AcPhase::birth);
}

}  // namespace cvl
