#include "foundation/settings_upgrade.h"

namespace cvl {

// Stands in until the conversion of older versions' settings is in place: nothing is converted.
bool lf_upgradeParameters() {
  return false;
}

}  // namespace cvl
