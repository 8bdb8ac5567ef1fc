#include "parking/park_airports.h"

namespace cvl {

// No park-airport list yet.
bool lf_readMyParkAirports() {
  return false;
}

void gf_removeStaticParked() {}

}  // namespace cvl
