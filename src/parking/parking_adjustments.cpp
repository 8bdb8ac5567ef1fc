#include "parking/parking_adjustments.h"

namespace cvl {

// No static aircraft are selected yet, so there is nothing to adjust.
void gf_parkingAdjustments() {}

}  // namespace cvl
