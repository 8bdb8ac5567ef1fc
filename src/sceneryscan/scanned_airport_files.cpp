#include "sceneryscan/scanned_airport_files.h"

#include <fmt/format.h>

#include <algorithm>

#include "app/sim_choice.h"
#include "foundation/constants.h"
#include "foundation/text_encoding.h"
#include "foundation/utilities.h"
#include "parking/airport_file_lookup.h"
#include "parking/airport_file_writer.h"
#include "sceneryscan/airport_linking.h"
#include "sceneryscan/file_status.h"
#include "sceneryscan/publisher_search.h"
#include "sceneryscan/scan_log.h"

namespace cvl {
namespace {

std::string lf_helipadPart(std::size_t helipads) {
  return helipads == 0 ? std::string{} : fmt::format(", of which {} helipad{}", helipads, gf_pluralSSize(helipads));
}

}  // namespace

void lf_generatePositionsFile(ApfData& apf) {
  if (apf.positions.empty()) {
    return;
  }
  const auto& folder = apf.publisher == simaddonPublisher ? mySimAddonFolder : myThirdPartyFolder;
  const auto fileName = gf_xmlPathOf(apf.code);
  const auto helipads = static_cast<std::size_t>(
      std::count_if(apf.positions.begin(), apf.positions.end(), [](const ParkPos& stand) { return stand.heli; }));
  lf_scanLog(fmt::format("Generated {}: {} position{}{}", gf_pathToUtf8(fileName), apf.positions.size(),
                         gf_pluralSSize(apf.positions.size()), lf_helipadPart(helipads)));
  std::sort(apf.positions.begin(), apf.positions.end(), [](const ParkPos& a, const ParkPos& b) { return a.id < b.id; });
  gf_createFolder(folder);
  const auto path = folder / fileName;
  if (!gf_writeApf(apf, path, ApfMode::full, currentSimType)) {
    lf_scanLog(fmt::format("{}Generating {} did not succeed", "===> ", gf_pathToUtf8(path)));
    return;
  }
  addonScanSucceeded = true;
}

}  // namespace cvl
