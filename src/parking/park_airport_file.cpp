#include "parking/park_airport_file.h"

#include <fmt/format.h>

#include <exception>
#include <filesystem>
#include <pugixml.hpp>

#include "app/controls.h"
#include "app/main_window.h"
#include "foundation/constants.h"
#include "foundation/file_meta.h"
#include "foundation/geometry.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_file.h"
#include "foundation/user_error.h"
#include "parking/airport_file_lookup.h"
#include "parking/airport_file_reader.h"
#include "parking/current_park_airport.h"
#include "parking/learned_files.h"
#include "parking/park_airport_list.h"
#include "parking/park_airport_state.h"
#include "parking/park_settings.h"
#include "parking/user_stand.h"
#include "platform/ui/controls.h"
#include "trafficin/traffic_reader.h"

namespace cvl {

ParkAirportFile parkAirportFile;
QualityFactors parkQualityFactors;
bool apfHandmade = false;
std::atomic<double> parkAirportElevation{0.0};

namespace {

constexpr std::string_view readerName = "gf_readApf";
// Where a park airport file fetched from the maker's site is kept.
const std::filesystem::path downloadedParkAirportPath{"airports/park_airport.xml"};
// Two stands overlap when their radii reach over this share of the distance between their centres.
constexpr double overlapShare = 1.1;

void lf_numberStands(std::vector<ParkPos>& stands) {
  std::uint32_t sid = 0;
  for (ParkPos& stand : stands) {
    stand.sid = ++sid;
  }
}

void lf_findNeighbours(std::vector<ParkPos>& stands) {
  for (ParkPos& stand : stands) {
    stand.neighbours.clear();
    for (const ParkPos& other : stands) {
      if (&other != &stand &&
          stand.radius + other.radius >
              overlapShare * gf_distanceNM({stand.latitude, stand.longitude}, {other.latitude, other.longitude})) {
        stand.neighbours.push_back(other.sid);
      }
    }
    stand.neighbours.shrink_to_fit();
  }
}

// The file to load for the name: the local file, or the copy fetched from the site. Empty with the error text.
std::filesystem::path lf_fileOf(const std::string& name, std::string& error) {
  if (lf_isLocalApfName(name)) {
    return lf_localApfPath(name);
  }
  error = gf_downloadAirportFile(name, downloadedParkAirportPath);
  return error.empty() ? downloadedParkAirportPath : std::filesystem::path{};
}

void lf_readParameters(const pugi::xml_document& document, ParkAirportFile& airportFile, QualityFactors& factors) {
  rtTrafficWeek = gf_getIntParameter(document, rtTrafficWeekKey).value_or(0);
  airportFile.publisher = gf_getStringParameter(document, publisherKey).value_or("");
  const auto altitude = gf_getIntParameter(document, altitudeKey);
  if (!altitude) {
    throw UserErrorException(65, "Parameter altitude not found");
  }
  airportFile.altitude = *altitude;
  parkAirportElevation = *altitude;
  currentParkAirport.alt = *altitude;
  airportFile.airport_name = gf_getStringParameter(document, airportNameKey).value_or("");
  const auto qfReal = gf_getIntParameter(document, qfRealKey);
  const auto qfSoft = gf_getIntParameter(document, qfSoftKey);
  if (qfReal && qfSoft) {
    factors = {*qfReal, *qfSoft};
  }
}

void lf_readLearnedOrDefaults(const std::string& name, const ParkAirportFile& airportFile, QualityFactors& factors,
                              std::vector<ParkPos>& stands, std::filesystem::path& learnedPath) {
  gf_log(name);
  learnedPath = lf_learnedPathOf(currentParkAirport.code, airportFile.publisher);
  if (!learnedPath.empty() && std::filesystem::exists(learnedPath)) {
    lf_readLearned(learnedPath, airportFile, stands, apfHandmade);
    factors = gf_computeQualityFactors(stands);
    if (apfHandmade) {
      gf_log("A handmade airport file overruled the archived file!");
    }
    return;
  }
  gf_logAndFlush("learned does not exist");
  lf_applyQualityDefaults(factors, gf_findAirportByCode(currentParkAirport.code));
}

void lf_showAirportFile(const std::string& shownName, const ParkAirportFile& airportFile, const QualityFactors& factors,
                        std::size_t standCount) {
  gf_log(fmt::format("Airport file read from '{}' for {}", shownName, gf_excerpt(airportFile.airport_name)));
  mainWindow.parkedFileText = std::filesystem::path(lf_localApfPath(shownName)).filename().string();
  mainWindow.airportFileText = airportFile.publisher;
  mainWindow.publisherText = airportFile.publisher;
  mainWindow.handmadeMark = apfHandmade;
  gf_logIndented(fmt::format("{:24}: {}", publisherKey, gf_excerpt(airportFile.publisher)));
  gf_logIndented(fmt::format("{:24}: {} ft", altitudeKey, airportFile.altitude));
  gf_logIndented(fmt::format("{:24}: {}", numParkposKey, standCount));
  gf_logIndented(fmt::format("{:24}: {}", "quality factor", gf_qualityText(factors)));
  gf_logIndented(fmt::format("{:24}: {}", "RT traffic week", rtTrafficWeek.load()));
  mainWindow.qualityText = gf_qualityText(factors);
  gf_invalidateBand(rcStaticParking);
}

std::string lf_readParkAirportFiles(const std::string& name, ParkAirportFile& airportFile, QualityFactors& factors,
                                    std::vector<ParkPos>& stands) {
  std::string error;
  const std::filesystem::path path = lf_fileOf(name, error);
  if (!error.empty()) {
    return error;
  }
  // Nothing of an airport read before carries over.
  apfHandmade = false;
  airportFile = {};
  factors = {};
  stands.clear();
  pugi::xml_document document;
  if (!document.load_file(path.c_str())) {
    return fmt::format("{}: could not load file: {}", name, path.string());
  }
  if (!gf_readMeta(document, false)) {
    return fmt::format("{}: refused to load", name);
  }
  lf_readParameters(document, airportFile, factors);
  lf_readParkPositions(document, stands);
  lf_storeParkSettings();
  std::filesystem::path learnedPath;
  lf_readLearnedOrDefaults(name, airportFile, factors, stands, learnedPath);
  mainWindow.standCount = stands.size();
  lf_numberStands(stands);
  lf_findNeighbours(stands);
  lf_showAirportFile(apfHandmade ? learnedPath.string() : name, airportFile, factors, stands.size());
  trafficReader.setParkAirport(
      ParkAirportPlace{{currentParkAirport.lat, currentParkAirport.lon}, static_cast<double>(airportFile.altitude)});
  trafficReader.setRefElevation(static_cast<double>(airportFile.altitude));
  if (stands.empty()) {
    return "no stands found";
  }
  // Only an airport with stands has anything to save: a learned file is never replaced by an empty one.
  parkAirportFileLoaded = true;
  gf_enableControl(flushStaticButton);
  return {};
}

}  // namespace

std::string gf_readApf(const std::string& name, ParkAirportFile& airportFile, QualityFactors& factors,
                       std::vector<ParkPos>& stands) {
  if (name.empty()) {
    return fmt::format("{}: xml is empty", readerName);
  }
  if (currentParkAirport.code.empty()) {
    return fmt::format("{}: no park airport set", readerName);
  }
  try {
    return lf_readParkAirportFiles(name, airportFile, factors, stands);
  } catch (const UserErrorException&) {
    throw;
  } catch (const std::exception& failure) {
    return fmt::format("{}: {}", readerName, failure.what());
  }
}

void gf_resetParkAirport() {
  gf_applyWatchedUserStand();
  if (parkAirportFileLoaded) {
    gf_saveLearnedApf();
  }
  apfHandmade = false;
  handmadeFileUnread = false;
  learnedGenerationFailed = false;
  parkAirportFileLoaded = false;
  if (!INITIAL_LOAD_ONLY.value) {
    ui::enable(nowButton.hwnd, false);
  }
  nowButtonAllowed = true;
  rtTrafficWeek = 0;
  ui::enable(flushStaticButton.hwnd, false);
  lf_restoreParkSettings();
  trafficReader.setRefElevation(std::nullopt);
  trafficReader.setParkAirport(std::nullopt);
}

}  // namespace cvl
