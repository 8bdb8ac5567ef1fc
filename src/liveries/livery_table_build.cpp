#include "liveries/livery_table_build.h"

#include <fmt/format.h>

#include "app/main_window.h"
#include "engine/ac_category.h"
#include "foundation/log.h"
#include "liveries/livery_tables.h"
#include "liveries/matching_summary.h"
#include "liveries/regcode_titles.h"
#include "refdata/similar_models.h"

namespace cvl {
namespace {

constexpr AcCategory summaryOrder[] = {AcCategory::Light, AcCategory::Buzjets,  AcCategory::Large,
                                       AcCategory::Heavy, AcCategory::HighPerf, AcCategory::Rotorcraft};

}  // namespace

void gf_showLiveryCount() {
  mainWindow.liveryCount = gf_liveryTableCount();
  gf_invalidateBand(rcHeader);
}

void gf_buildLiveryTables(const LiveryList& scanned) {
  gf_clearLiveryTables();
  lf_buildAirlineIndex(scanned);
  gf_showLiveryCount();
  lf_buildAirlineModelTitles();
  lf_addInlineRegcodes(scanned);
  lf_processOfflineRegcodes();
  gf_log(fmt::format("{} registration codes", RegcodeTitleMap.size()));

  lf_buildModelTitleTables();
  gf_log(fmt::format("{} airlines, {} pax aircraft models and {} cargo aircraft models", AirlineIndex.size(),
                     ModelTitles.at(paxTitles).size(), ModelTitles.at(cargoTitles).size()));
  gf_buildSimilarModels();
  for (const AcCategory category : summaryOrder) {
    lf_categorySummary(category);
  }
  lf_genericLiverySummary();
}

}  // namespace cvl
