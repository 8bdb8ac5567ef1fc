#include "trafficin/traffic_reader.h"

namespace cvl {

TrafficReader trafficReader;
std::atomic<bool> rtProfessional{false};

}  // namespace cvl
