#include "trafficin/traffic_queue.h"

namespace cvl {

std::mutex trafficQueueMutex;
std::deque<TrafficItem> trafficQueue;
bool acceptTraffic = false;

}  // namespace cvl
