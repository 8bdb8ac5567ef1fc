#pragma once

#include "engine/live_ac.h"
#include "trafficin/traffic_item.h"

// The data time of the traffic feed, as the reports the engine takes show it. Worker thread.
namespace cvl {

// Whether the report is stamped so far ahead that the stamp cannot be right: taken, it would make every later report
// of its aircraft look old. Sources keep clocks of their own, so a report is judged by the last report taken for its
// aircraft, advanced by the time since; a new aircraft's first report by the newest time the feed has shown. A time
// ahead is believed once the aircraft's next report confirms it (its source's clock was set forward). The first
// reports of a run have nothing to be judged by and do not set the feed's time. A few ignored reports are logged per
// aircraft, anew once none of its reports was ignored for two minutes.
bool gf_isStampedAhead(const TrafficItem& item, const LiveAc* aircraft);
// The flight runs again after a stop. The engine's clock stood still meanwhile while the feed ran on, so the reports
// taken before no longer tell how far ahead a report is: each aircraft's next report is believed, as the first
// reports of a run are.
void gf_resumeFeedTime();
// Forgets the feed's time and the reports waiting for confirmation (the traffic reset).
void gf_resetFeedTime();

}  // namespace cvl
