#include "parking/park_airports.h"

#include <fmt/format.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <unordered_set>

#include "app/status_line.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/strings.h"
#include "foundation/text_files.h"
#include "foundation/utilities.h"
#include "parking/park_airport_list.h"
#include "refdata/airports_database.h"

namespace cvl {
namespace {

constexpr std::string_view listFileName = "my_park_airports.txt";
// Above this many candidates the distance sorting of every update costs noticeable time.
constexpr std::size_t manyParkAirports = 3000;

bool lf_isBlank(const std::string& line) {
  return gf_trim(line).empty();
}

bool lf_readListFile(std::vector<std::string>& lines) {
  return gf_readTextFile(gf_detectCharset(myParkAirportsPath), myParkAirportsPath, lines);
}

bool lf_isListed(const std::string& code) {
  return std::any_of(parkAirports.begin(), parkAirports.end(),
                     [&code](const ParkAirport& airport) { return airport.code == code; });
}

// False only for an airport the airports database does not know.
bool lf_readListLine(const std::string& line, std::unordered_set<std::string>& seen) {
  if (lf_isBlank(line)) {
    return true;
  }
  const std::vector<std::string> pieces = gf_split(line, ',');
  if (pieces.size() >= 3) {
    gf_logFlagged(fmt::format("{}:{} wrong syntax, skipped", listFileName, gf_excerpt(line)));
    return true;
  }
  const std::string& code = pieces.front();
  if (seen.contains(code)) {
    gf_logFlagged(fmt::format("{}:{} double, skipped", listFileName, gf_excerpt(code)));
    return true;
  }
  const Airport* airport = gf_findAirportByCode(code);
  if (airport == nullptr) {
    gf_setStatusLine(fmt::format("airport {} is unknown", gf_excerpt(code)), true);
    return false;
  }
  parkAirports.push_front(
      ParkAirport{code, pieces.size() == 2 ? pieces[1] : std::string{}, airport->lat, airport->lon, 0.0});
  seen.insert(code);
  return true;
}

bool lf_readListedAirports() {
  if (!std::filesystem::exists(myParkAirportsPath)) {
    gf_log(fmt::format("{} not found", myParkAirportsPath.string()));
    return true;
  }
  std::vector<std::string> lines;
  if (!lf_readListFile(lines)) {
    gf_logFlagged(fmt::format("{} could not be read", myParkAirportsPath.string()));
    return false;
  }
  bool allKnown = true;
  std::unordered_set<std::string> seen;
  for (const std::string& line : lines) {
    allKnown = lf_readListLine(line, seen) && allKnown;
  }
  if (const std::size_t count = parkAirports.size(); count > 0) {
    gf_log(fmt::format("{} park airport{} read from '{}'", count, gf_pluralSSize(count), listFileName));
    if (count > manyParkAirports) {
      gf_setStatusLine(fmt::format("Warning: There are a lot of airports ({}), that will cost CRVL much cpu time and "
                                   "may cause stutters",
                                   count),
                       true);
    }
  }
  return allKnown;
}

}  // namespace

bool lf_readMyParkAirports() {
  try {
    parkAirports.clear();
    const bool read = lf_readListedAirports();
    lf_readThirdPartyParkAirports();
    return read;
  } catch (const std::exception& failure) {
    gf_logFlagged(fmt::format("{}: {}", "lf_readMyParkAirports", failure.what()));
    return false;
  }
}

void lf_readThirdPartyParkAirports() {
  if (!std::filesystem::exists(myThirdPartyFolder)) {
    return;
  }
  std::vector<std::string> codes;
  for (const auto& entry : std::filesystem::directory_iterator(myThirdPartyFolder)) {
    if (entry.is_regular_file()) {
      codes.push_back(entry.path().stem().string());
    }
  }
  std::sort(codes.begin(), codes.end());
  std::size_t added = 0;
  for (const std::string& code : codes) {
    const Airport* airport = gf_findAirportByCode(code);
    if (airport != nullptr && !lf_isListed(code)) {
      parkAirports.push_front(ParkAirport{code, {}, airport->lat, airport->lon, 0.0});
      ++added;
    }
  }
  if (added > 0) {
    gf_log(fmt::format("{} park airport{} added from my_thirdparty folder(-s)", added, gf_pluralSSize(added)));
  }
}

void gf_addMyParkAirport() {
  if (parkAirports.empty()) {
    return;
  }
  const ParkAirport& front = parkAirports.front();
  const std::string line =
      front.reservedStand.empty() ? front.code : fmt::format("{},{}", front.code, front.reservedStand);
  std::vector<std::string> lines;
  if (!std::filesystem::exists(myParkAirportsPath)) {
    lines.push_back(line);
    gf_log(fmt::format("{} created with {}", listFileName, gf_excerpt(line)));
  } else if (!lf_readListFile(lines)) {
    gf_logFlagged(fmt::format("{} could not be read, {} not added", myParkAirportsPath.string(), gf_excerpt(line)));
    return;
  } else if (gf_updateMyParkAirportStand(lines, {front.code, line}) == lines.end()) {
    lines.push_back(line);
    gf_log(fmt::format("{}:{} new entry", listFileName, gf_excerpt(line)));
  }
  std::erase_if(lines, lf_isBlank);
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  if (!gf_writeLines(lines, myParkAirportsPath)) {
    gf_logFlagged(fmt::format("{} could not be written", myParkAirportsPath.string()));
  }
}

std::vector<std::string>::iterator gf_updateMyParkAirportStand(std::vector<std::string>& lines,
                                                               const std::pair<std::string, std::string>& codeAndLine) {
  const std::string& code = codeAndLine.first;
  const std::string& newLine = codeAndLine.second;
  const auto found = std::find_if(lines.begin(), lines.end(), [&code](const std::string& line) {
    const auto pieces = gf_split(line, ',');
    return !pieces.empty() && pieces.front() == code;
  });
  if (found != lines.end()) {
    *found = newLine;
    gf_log(fmt::format("{}:{} updated stand", listFileName, gf_excerpt(newLine)));
  }
  return found;
}

}  // namespace cvl
