#pragma once

#include "trafficin/traffic_item.h"

// The newest data time of the traffic feed, as the reports the engine takes show it. Worker thread.
namespace cvl {

// Whether the report is stamped so far ahead of the feed's newest time that the stamp cannot be right: taken, it would
// make every later report of its aircraft look old. Reports believed move the newest time on. A run of reports
// stamped ahead means that the feed itself has moved on (its time was set forward): the third in a row is believed.
bool gf_isStampedAhead(const TrafficItem& item);
// Forgets the feed's time (the traffic reset).
void gf_resetFeedTime();

}  // namespace cvl
