#pragma once

#include "engine/live_ac.h"
#include "trafficin/traffic_item.h"

// A new item may bring a changed identity (route, registration, callsign). A buffered aircraft simply takes it over;
// an aircraft in the simulator is created again (with a livery for its new identity) when GUID_CHANGES allows.
// Worker thread.
namespace cvl {

// False: drop the item (the aircraft is being respawned, or the item belongs to a ghost).
bool lf_checkRespawn(LiveAc& aircraft, TrafficItem& item);

// A non-empty destination, origin, callsign or registration of the item replaces the record's.
void lf_updateBufferedIdentity(LiveAc& aircraft, const TrafficItem& item);
// Fills a missing origin or destination, or takes over a new route; false when anything changed.
bool lf_routeUnchanged(LiveAc& aircraft, const TrafficItem& item);
// Takes over the item's registration; false when it means another livery.
bool lf_registrationUnchanged(LiveAc& aircraft, const TrafficItem& item);
// For a record whose registration is missing or only repeats its callsign: true when the item's registration gives
// it another livery or another airline and type.
bool lf_registrationOnCallsign(LiveAc& aircraft, const TrafficItem& item);
// For a record with a registration of its own: true when the new registration belongs to another airline or type.
bool lf_registrationChanged(LiveAc& aircraft, const TrafficItem& item);
// Drops the aircraft's livery (also the remembered one) so that it is matched again; phase birth.
void lf_forgetLivery(LiveAc& aircraft);

}  // namespace cvl
