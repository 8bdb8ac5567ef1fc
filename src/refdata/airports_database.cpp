#include "refdata/airports_database.h"

#include <fmt/format.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <gsl/util>
#include <optional>
#include <pugixml.hpp>
#include <stdexcept>

#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/strings.h"
#include "foundation/throttled_log.h"
#include "foundation/user_error.h"
#include "foundation/xml.h"
#include "parking/destination_stand.h"
#include "refdata/data_file_check.h"
#include "refdata/decryption.h"

namespace cvl {

std::vector<Airport> AirportList;
std::unordered_set<std::string> AirportCodes;

namespace {

std::atomic<bool> lf_airportsRead{false};

constexpr std::size_t expectedAirportCount = 15000;
constexpr double closestAirportReachNm = 5.0;
constexpr double noStandNm = 100.0;
constexpr double metresPerNauticalMile = 1852.0;

// The static parking asks every 16 s while the user stands at an airport: the lines are written when the answer
// changes.
LineOnChange closestPairLine;

bool lf_usablePosition(const Airport& airport) {
  return std::isfinite(airport.lat) && std::isfinite(airport.lon) && std::isfinite(airport.alt) &&
         std::abs(airport.lat) <= 90.0 && std::abs(airport.lon) <= 180.0;
}

// The element's airport; nothing (logged) when it lacks an attribute it needs or its position is no place on Earth.
std::optional<Airport> lf_airportOf(pugi::xml_node element) {
  const std::string code = element.attribute("code").as_string();
  if (code.empty()) {
    gf_logFlagged(fmt::format("Missing code for airport (IATA '{}'), skipped", element.attribute("iata").as_string()));
    return std::nullopt;
  }
  if (!element.attribute("lat") || !element.attribute("lon")) {
    gf_logFlagged(fmt::format("Missing latLons for airport '{}'", code));
    return std::nullopt;
  }
  if (!element.attribute("alt")) {
    gf_logFlagged(fmt::format("Missing alt for airport '{}'", code));
    return std::nullopt;
  }
  if (!element.attribute("stands")) {
    gf_logFlagged(fmt::format("Missing stands for airport '{}'", code));
  }
  if (!element.attribute("iata")) {
    gf_logFlagged(fmt::format("Missing IATA for airport '{}'", code));
    return std::nullopt;
  }
  Airport airport{code,
                  element.attribute("iata").as_string(),
                  element.attribute("lat").as_double(),
                  element.attribute("lon").as_double(),
                  element.attribute("alt").as_double(),
                  element.attribute("stands").as_int()};
  if (!lf_usablePosition(airport)) {
    gf_log(fmt::format("Error parsing coordinates for airport '{}': {}", code, "not a position on Earth"));
    return std::nullopt;
  }
  return airport;
}

// Every usable airport of the plain file, sorted by code. Throws std::runtime_error when the file does not load or
// hold "airports".
std::vector<Airport> lf_readAirportsFile(const std::filesystem::path& plainPath) {
  pugi::xml_document document;
  const auto loaded = document.load_file(plainPath.c_str());
  if (!loaded) {
    throw std::runtime_error(fmt::format("{} not loaded: {}", plainPath.string(), loaded.description()));
  }
  const auto airportsNode = gf_rootOrDocChild(document, "airports");
  if (!airportsNode) {
    throw std::runtime_error("Missing <airports> root in: " + plainPath.string());
  }
  std::vector<Airport> airports;
  airports.reserve(expectedAirportCount);
  for (const auto element : airportsNode.children("airport")) {
    if (auto airport = lf_airportOf(element)) {
      airports.push_back(std::move(*airport));
    }
  }
  std::stable_sort(airports.begin(), airports.end(),
                   [](const Airport& a, const Airport& b) { return a.code < b.code; });
  gf_log(fmt::format("{} airports read", airports.size()));
  return airports;
}

}  // namespace

bool gf_readAirports() {
  if (lf_airportsRead) {
    return !AirportList.empty();
  }
  if (const auto failure = gf_decryptForReading(airportsEncPath, airportsXmlPath)) {
    throw UserErrorException(88, *failure);
  }
  const auto removePlainFile = gsl::finally([] { gf_removeFile(airportsXmlPath); });
  try {
    AirportList = lf_readAirportsFile(airportsXmlPath);
  } catch (const std::exception& error) {
    gf_forgetAirports();
    gf_logFlagged(error.what());
    throw UserErrorException(88, gf_unusableDataFileText(airportsEncPath));
  }
  AirportList.shrink_to_fit();
  for (const auto& airport : AirportList) {
    AirportCodes.insert(airport.code);
  }
  lf_airportsRead = true;
  return !AirportList.empty();
}

bool gf_airportsXmlReadable(const std::filesystem::path& plainPath) {
  return !lf_readAirportsFile(plainPath).empty();
}

void gf_forgetAirports() {
  AirportList.clear();
  AirportCodes.clear();
  lf_airportsRead = false;
  closestPairLine.forget();
}

const Airport* gf_closestAirport(const LatLon& position) {
  return gf_closestAirport(position, gf_readDestApfForClosestStand);
}

// The neighbour is the best airport that a nearer one replaced while walking the list, not necessarily the second
// nearest; its stands may still be nearer to the position than those of the closest airport.
const Airport* gf_closestAirport(const LatLon& position, const NearestStandQuery& nearestStand) {
  double best = noStandNm;
  const Airport* closest = nullptr;
  const Airport* neighbour = nullptr;
  for (const auto& airport : AirportList) {
    const double distance = gf_distanceNM(position, {airport.lat, airport.lon});
    if (distance <= closestAirportReachNm && distance < best) {
      best = distance;
      neighbour = closest != nullptr ? closest : neighbour;
      closest = &airport;
    }
  }
  if (closest == nullptr || neighbour == nullptr) {
    closestPairLine.forget();
    return closest;
  }
  std::string closestStand;
  std::string neighbourStand;
  const double closestStandNm = nearestStand(*closest, position, closestStand);
  const double neighbourStandNm = nearestStand(*neighbour, position, neighbourStand);
  const bool neighbourNearer = neighbourStandNm < closestStandNm;
  if (closestPairLine.changed(fmt::format("{} {} {}", closest->code, neighbour->code, neighbourNearer))) {
    gf_log(fmt::format("Airport {} is closest, neighbour is {}", closest->code, neighbour->code));
    if (neighbourNearer) {
      gf_log(
          fmt::format("Airport {} is closest, but stand {} at neighbouring airport {} is closer at {:.0F} meters ...",
                      closest->code, neighbourStand, neighbour->code, neighbourStandNm * metresPerNauticalMile));
    }
  }
  return neighbourNearer ? neighbour : closest;
}

const Airport* gf_findAirportByCode(std::string_view code) {
  const auto found = std::lower_bound(AirportList.begin(), AirportList.end(), code,
                                      [](const Airport& airport, std::string_view key) { return airport.code < key; });
  return found != AirportList.end() && found->code == code ? &*found : nullptr;
}

bool gf_isAirportCode(const std::string& code) {
  return AirportCodes.contains(code);
}

std::string gf_findAirportByPrefix(std::string_view text) {
  std::string key{text.substr(0, 4)};
  std::transform(key.begin(), key.end(), key.begin(), gf_toUpperChar);
  const auto found = std::find_if(AirportList.begin(), AirportList.end(),
                                  [&key](const Airport& airport) { return key.starts_with(airport.code); });
  return found != AirportList.end() ? found->code : std::string{};
}

std::string gf_findAirportByPath(const std::filesystem::path& path) {
  const auto text = gf_asciiLower(path.string());
  const auto found = std::find_if(AirportList.begin(), AirportList.end(), [&text](const Airport& airport) {
    return text.find('-' + gf_asciiLower(airport.code) + '-') != std::string::npos;
  });
  return found != AirportList.end() ? found->code : std::string{};
}

}  // namespace cvl
