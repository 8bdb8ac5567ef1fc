#include "parking/static_calculation.h"

#include <fmt/format.h>

#include <algorithm>

#include "app/controls.h"
#include "app/main_window.h"
#include "engine/live_parked.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/utilities.h"
#include "parking/fit_passes.h"
#include "parking/park_pos.h"
#include "parking/parked_entries.h"
#include "parking/parking_adjustments.h"
#include "parking/static_maps.h"
#include "parking/wanted_parked_count.h"

namespace cvl {
namespace {

void lf_clearSelection() {
  parkedEntries.clear();
  keptStatics.clear();
  liveParkedList.clear();
  mainWindow.staticAverageFit = -1.0F;
  mainWindow.liveAverageFit = -1.0F;
  mainWindow.staticWeekMark = false;
  mainWindow.staticSoftMark = false;
  lf_clearStaticMaps();
  for (ParkPos& stand : parkPositions) {
    stand.selected = false;
    stand.userStand = false;
    stand.neighbourBlocked = false;
  }
}

void lf_sortByFit(bool bestLast) {
  std::stable_sort(parkedEntries.begin(), parkedEntries.end(), [bestLast](const ParkedEntry& a, const ParkedEntry& b) {
    return bestLast ? a.fitLevel > b.fitLevel : a.fitLevel < b.fitLevel;
  });
}

}  // namespace

void lf_calcStaticParked() {
  const WeekTime now = lf_logUtcDay();
  gf_disableParkingControls();
  lf_clearSelection();
  lf_markUserStand();
  const std::int64_t wanted = lf_wantedParkedCount();
  if (wanted > static_cast<std::int64_t>(parkedEntries.size())) {
    lf_selectParkedAircraft(now, wanted, 0);
  }
  lf_sortByFit(false);
  if (static_cast<std::int64_t>(parkedEntries.size()) > wanted) {
    parkedEntries.resize(static_cast<std::size_t>(std::max<std::int64_t>(wanted, 0)));
  }
  const auto found = static_cast<std::int64_t>(parkedEntries.size());
  if (found == 0) {
    gf_log("no parking positions found");
    gf_enableParkingControls();
    return;
  }
  gf_log(fmt::format("{} positions ({}% vs wanted {}%, with Max fit={:.1F} hours)\n", found,
                     gf_percent(found, static_cast<std::int64_t>(parkPositions.size())),
                     parking_percentage.value.load(), MAX_FIT_FL.value.load()));
  // Static aircraft are made from the back: the best fitting first.
  lf_sortByFit(true);
  gf_invalidateBand(rcStaticParking);
}

}  // namespace cvl
