#pragma once

#include <deque>
#include <mutex>

#include "trafficin/traffic_item.h"

// The parsed traffic items on their way from the traffic reader to the engine: the reader appends at the back, the
// engine takes from the front.
namespace cvl {

// Guards trafficQueue and acceptTraffic.
extern std::mutex trafficQueueMutex;
extern std::deque<TrafficItem> trafficQueue;
// The parser appends items only while this is set; written only while holding trafficQueueMutex.
extern bool acceptTraffic;

}  // namespace cvl
