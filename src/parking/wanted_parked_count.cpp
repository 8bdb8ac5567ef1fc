#include "parking/wanted_parked_count.h"

#include <algorithm>
#include <cmath>

#include "app/main_window.h"
#include "foundation/settings_catalogue.h"
#include "foundation/utilities.h"
#include "parking/park_pos.h"

namespace cvl {

std::int32_t lf_wantedParkedCount() {
  if (MAX_PARK_SEL.value <= 0) {
    mainWindow.maxParkCount = 0;
    mainWindow.maxParkPercent = parking_percentage.value.load();
    return 0;
  }
  const std::int32_t percent =
      CUSTOM_PARKING_PERCENTAGE.value >= 0 ? CUSTOM_PARKING_PERCENTAGE.value.load() : parking_percentage.value.load();
  const auto stands = static_cast<std::int64_t>(parkPositions.size());
  std::int64_t wanted = 1;
  if (stands > 1 && (stands > 3 || percent >= 50)) {
    wanted = std::llround(static_cast<double>(percent) * static_cast<double>(stands) / 100.0);
  }
  const auto result = static_cast<std::int32_t>(std::min<std::int64_t>(MAX_PARK_SEL.value, wanted));
  mainWindow.maxParkCount = result;
  mainWindow.maxParkPercent = gf_percent(result, stands);
  return result;
}

}  // namespace cvl
