#include "parking/static_parking_update.h"

namespace cvl {

// No park airport is chosen yet, so there is nothing to update.
void gf_updateStaticParking(bool /*firstCalculation*/) {}

}  // namespace cvl
