#include "sceneryscan/non_complying_airports.h"

#include <fmt/format.h>

#include "foundation/strings.h"
#include "foundation/text_encoding.h"
#include "parking/apf_data.h"
#include "refdata/airports_database.h"
#include "sceneryscan/airport_linking.h"
#include "sceneryscan/manifests.h"
#include "sceneryscan/scan_log.h"

namespace cvl {
namespace {

constexpr std::size_t icaoLength = 4;

}  // namespace

std::string lf_findNonComplyingIcao(const std::filesystem::path& bglPath) {
  const auto pathText = gf_pathToUtf8(bglPath);
  const auto stem = gf_asciiUpper(gf_pathToUtf8(bglPath.stem()));
  if (stem.size() == icaoLength && gf_findAirportByCode(stem) != nullptr) {
    lf_scanLog(fmt::format("Non complyingairport has ICAO code '{}' as BGL stem", stem));
    return stem;
  }
  if (const auto manifest = gf_searchManifest(bglPath)) {
    if (auto code = gf_asciiUpper(gf_findAirportByPrefix(manifest->title)); !code.empty()) {
      lf_scanLog(fmt::format("Non complying airport has ICAO '{}' in title '{}' of manifest", code, manifest->title));
      return code;
    }
    if (auto code = gf_asciiUpper(gf_findAirportByPath(bglPath)); !code.empty()) {
      lf_scanLog(fmt::format("Non complying airport has ICAO '{}' in BGL path '{}'", code, pathText));
      return code;
    }
  }
  lf_scanLog(fmt::format("==================> Non complying airport lost ... '{}'", pathText));
  return {};
}

void lf_finishBglAirport(const std::filesystem::path& bglPath) {
  lf_scanLog(fmt::format("\n==> Not recognised airport {}", gf_pathToUtf8(bglPath)));
  const auto code = lf_findNonComplyingIcao(bglPath);
  if (code.size() != icaoLength) {
    return;
  }
  ApfData apf;
  apf.code = code;
  lf_linkAirport(apf, bglPath);
}

}  // namespace cvl
