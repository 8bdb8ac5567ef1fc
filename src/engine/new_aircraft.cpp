#include "engine/new_aircraft.h"

#include "engine/aircraft_lists.h"
#include "engine/incoming_traffic.h"
#include "engine/motion_tables.h"
#include "engine/shown_categories.h"
#include "refdata/dbase_queries.h"
#include "refdata/registration_lookup.h"

namespace cvl {

void lf_createLiveAcIfTyped(TrafficItem& item) {
  if (const auto record = gf_findDbaseRecord(item.registration); record && !record->type.empty()) {
    item.type = record->type;
  }
  if (!gf_isKnownType(item.type) || !gf_categoryShown(gf_aircraftCategory(item.type)) ||
      lf_nearParkAirportGround(item.position.altitude)) {
    return;
  }
  lf_newLiveAc(item);
}

void lf_newLiveAc(TrafficItem& item) {
  item.optCallsign = item.callsign;
  item.cplCallsign.clear();
  item.coupledSearched = false;
  AcIdentity identity(item);
  identity.hexid = item.hexid;
  identity.maxClimbStep = gf_maxClimbStep(identity.category);
  identity.standTaxiSpeed = gf_standTaxiSpeed(identity.category);
  liveAcs.emplace_back(identity, item.position, item.timestamp);
}

}  // namespace cvl
