#include "engine/shown_categories.h"

#include "foundation/settings_catalogue.h"

namespace cvl {

bool gf_categoryShown(AcCategory category) {
  switch (category) {
    case AcCategory::Light:
      return LIGHT_AIRCRAFT.value;
    case AcCategory::HighPerf:
      return HIGH_PERF_AIRCRAFT.value;
    case AcCategory::Rotorcraft:
      return HELICOPTERS.value;
    default:
      return true;
  }
}

}  // namespace cvl
