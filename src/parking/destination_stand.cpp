#include "parking/destination_stand.h"

namespace cvl {

// No airport file is looked up yet, so every airport answers as one without a file.
double gf_readDestApfForClosestStand(const Airport& /*airport*/, const LatLon& /*position*/, std::string& standId) {
  standId.clear();
  return 100.0;
}

}  // namespace cvl
