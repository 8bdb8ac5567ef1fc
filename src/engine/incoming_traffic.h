#pragma once

#include "engine/live_ac.h"
#include "trafficin/traffic_item.h"

// One traffic item from the traffic service: it is ignored, extends the position stream of the live aircraft with
// its hexid, or creates a new live aircraft. The filters keep stale, repeated, implausible and redundant positions out
// of the stream. Worker thread.
namespace cvl {

void lf_applyIncomingItem(TrafficItem& item);

// Whether the item adds nothing to the aircraft's non-empty stream: not newer than the last item by more than a
// second, a speed spike, or too close behind the last kept position to matter.
bool lf_isRedundantItem(const LiveAc& aircraft, const TrafficItem& item);
// Whether an altitude lies on or near the ground of the park airport (an aircraft seen there waits for a position
// away from it before it is created or spawned).
bool lf_nearParkAirportGround(double altitude);

}  // namespace cvl
