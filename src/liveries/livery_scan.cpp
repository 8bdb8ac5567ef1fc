#include "liveries/livery_scan.h"

#include "refdata/similar_models.h"

namespace cvl {

// No scanner yet: the tables stay as they are (empty until the scan exists).
void gf_scanLiveries() {}

void gf_processScannedLiveries() {
  gf_buildSimilarModels();
}

void gf_liveryMatchingSummary() {}

}  // namespace cvl
