#include "parking/static_maps.h"

#include "trafficin/traffic_reader.h"

namespace cvl {

std::unordered_set<std::string> recentTrafficCallsigns;

void lf_clearStaticMaps() {
  recentTrafficCallsigns.clear();
  trafficReader.recordCallsigns = false;
  recentTrafficCallsigns = trafficReader.callsignsSeen();
}

}  // namespace cvl
