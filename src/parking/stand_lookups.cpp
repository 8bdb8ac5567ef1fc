#include "parking/stand_lookups.h"

namespace cvl {

std::string gf_standNameAt(const LatLon& /*position*/) {
  return {};
}

std::vector<ParkPos>::iterator lf_findStandNear(const LatLon& /*position*/, const AcIdentity& /*aircraft*/,
                                                double /*radius*/, bool /*alsoLearned*/) {
  return parkPositions.end();
}

}  // namespace cvl
