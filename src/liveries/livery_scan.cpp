#include "liveries/livery_scan.h"

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "foundation/log.h"
#include "liveries/liveries_processed.h"
#include "liveries/livery_data.h"
#include "liveries/livery_table_build.h"
#include "liveries/scanned_liveries_file.h"

namespace cvl {

void gf_processScannedLiveries() {
  if (gf_stopping()) {
    return;  // the run ends; the tables are built by the next start-up, after its scan
  }
  if (liveriesProcessed) {
    gf_log("Processing scanned liveries skipped; already done in previous start-up");
    gf_showLiveryCount();
    ScannedLiveries.clear();
    return;
  }
  gf_readScannedLiveries();
  gf_buildLiveryTables(ScannedLiveries);
  liveriesProcessed = true;
  gf_invalidateBand(rcHeader);
  ScannedLiveries.clear();
}

}  // namespace cvl
