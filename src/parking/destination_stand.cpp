#include "parking/destination_stand.h"

#include <fmt/format.h>

#include <exception>
#include <filesystem>
#include <gsl/util>
#include <pugixml.hpp>
#include <system_error>

#include "foundation/log.h"
#include "foundation/xml.h"
#include "parking/airport_file_lookup.h"
#include "parking/airport_file_reader.h"
#include "parking/airport_file_retry.h"

namespace cvl {
namespace {

constexpr double noStandNm = 100.0;
// Where a remote airport file is kept while its stands are measured.
const std::filesystem::path temporaryAirportFile{"airport.xml"};

// A remote file that could not be had waits for its next try here as well: the measuring runs every 16 s while the
// user stands between two airports.
bool lf_fetched(const std::string& code, const std::string& name) {
  if (gf_airportFileWait(code, name)) {
    return false;
  }
  const std::string failure = gf_downloadAirportFile(name, temporaryAirportFile);
  if (!failure.empty()) {
    gf_noteAirportFileFailed(code, name, failure);
  }
  return failure.empty();
}

double lf_nearestStand(const std::string& code, const std::string& name, const LatLon& position, std::string& standId) {
  std::filesystem::path path = lf_localApfPath(name);
  if (!lf_isLocalApfName(name)) {
    if (!lf_fetched(code, name)) {
      return noStandNm;
    }
    path = temporaryAirportFile;
  }
  pugi::xml_document document;
  if (!document.load_file(path.c_str())) {
    return noStandNm;
  }
  double best = noStandNm;
  for (const auto node : gf_rootOrDocChild(document, "parkpositions").children("parkpos")) {
    const auto latitude = gf_apfNumber(node, "latitude");
    const auto longitude = gf_apfNumber(node, "longitude");
    if (!latitude || !longitude || (*latitude == 0.0 && *longitude == 0.0)) {
      continue;
    }
    if (const double distance = gf_distanceNM(position, {*latitude, *longitude}); distance < best) {
      best = distance;
      standId = node.attribute("id").as_string();
    }
  }
  return best;
}

}  // namespace

double gf_readDestApfForClosestStand(const Airport& airport, const LatLon& position, std::string& standId) {
  // A fetched file is of no use after the measuring, whatever its outcome.
  const auto removeTemporary = gsl::finally([] {
    std::error_code ignored;
    std::filesystem::remove(temporaryAirportFile, ignored);
  });
  standId.clear();
  try {
    const std::string name = gf_findApf(airport.code);
    return name.empty() ? noStandNm : lf_nearestStand(airport.code, name, position, standId);
  } catch (const std::exception& failure) {
    gf_logFlagged(fmt::format("{}: {}", "gf_readDestApfForClosestStand", failure.what()));
    return noStandNm;
  }
}

}  // namespace cvl
