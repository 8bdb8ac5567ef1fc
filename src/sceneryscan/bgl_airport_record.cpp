#include "sceneryscan/bgl_airport_record.h"

#include <fmt/format.h>

#include <cmath>
#include <numbers>

#include "app/sim_choice.h"
#include "foundation/log.h"
#include "foundation/text_encoding.h"
#include "sceneryscan/airport_linking.h"
#include "sceneryscan/bgl_identifiers.h"
#include "sceneryscan/scan_log.h"
#include "sceneryscan/scanned_airport_files.h"

namespace cvl {
namespace {

// A walk that has not ended after this many steps runs through damaged data.
constexpr std::size_t maxSubrecords = 5000;

// Airport header: elevation in millimetres at byte 20.
constexpr std::size_t elevationWord = 5;
constexpr double feetPerMetre = 3.2808399;
// Airports lie from about -1,300 ft (by the Dead Sea) to about 14,500 ft; an elevation beyond these bounds is damage.
constexpr std::int32_t lowestAltitude = -1500;
constexpr std::int32_t highestAltitude = 16000;

// Helipad: longitude at byte 12, latitude at byte 16, width in metres at byte 28.
constexpr std::size_t helipadLongitudeWord = 3;
constexpr std::size_t helipadLatitudeWord = 4;
constexpr std::size_t helipadWidthWord = 7;
constexpr double sameHelipadDegrees = 1e-8;

// Parking list: the entry count in the high half of word 1, the entries from word 2. An entry is 14 words followed by
// one word per airline code; the fields: flags, radius, heading, and longitude and latitude at bytes 28 and 32.
constexpr std::size_t parkingCountWord = 1;
constexpr std::size_t firstParkingWord = 2;
constexpr std::size_t parkingEntryWords = 14;
constexpr std::size_t parkingRadiusWord = 1;
constexpr std::size_t parkingHeadingWord = 2;
constexpr std::size_t parkingLongitudeWord = 7;
constexpr std::size_t parkingLatitudeWord = 8;
constexpr float smallestRadius = 1.0F;   // metres, excluded
constexpr float largestRadius = 200.0F;  // metres, excluded

constexpr double radiansPerDegree = 0.017453292519943295;
constexpr double nearZeroDegrees = 0.0001;

constexpr std::string_view uniqueSuffixes = "abcdefghij";

struct ParkingFlags {
  std::uint32_t kind;
  std::uint32_t type;
  std::uint32_t number;
  std::uint32_t airlineCodes;

  explicit ParkingFlags(std::uint32_t word)
      : kind(word & 0x3FU), type((word >> 8) & 0xFU), number((word >> 12) & 0xFFFU), airlineCodes(word >> 24) {}

  // Types 0, 12 and 13 are no stands for aircraft.
  bool isStand() const { return type != 0 && type != 12 && type != 13; }
  bool isCargo() const { return type == 5; }
  bool isRamp() const { return (type >= 1 && type <= 7) || type == 14; }
};

bool lf_validPosition(double latitude, double longitude) {
  const bool onEarth = latitude >= -90.0 && latitude <= 90.0 && longitude >= -180.0 && longitude <= 180.0;
  const bool atNullIsland = std::abs(latitude) < nearZeroDegrees && std::abs(longitude) < nearZeroDegrees;
  return onEarth && !atNullIsland;
}

std::string lf_positionText(double latitude, double longitude) {
  return fmt::format("{:.6f},{:.6f}", latitude, longitude);
}

bool lf_isKnownHelipad(const AirportDecoding& airport, double latitude, double longitude) {
  for (const auto& [takenLatitude, takenLongitude] : airport.helipads) {
    if (std::abs(takenLatitude - latitude) < sameHelipadDegrees &&
        std::abs(takenLongitude - longitude) < sameHelipadDegrees) {
      return true;
    }
  }
  return false;
}

// A stand's heading in radians; north, given as exactly 0, is a full turn.
double lf_standHeading(float degrees) {
  return degrees == 0.0F ? 2.0 * std::numbers::pi : degrees * radiansPerDegree;
}

void lf_readParkingEntry(std::size_t entry, const BglWords& words, AirportDecoding& airport) {
  const ParkingFlags flags{words.word(entry)};
  const float radius = words.floatWord(entry + parkingRadiusWord);
  if (!(radius > smallestRadius && radius < largestRadius)) {
    lf_scanLog(fmt::format("Skipped position with radius {:.1F} m in {}", radius, airport.bglPath));
    return;
  }
  const auto name = fmt::format("{}{}", lf_parkingNameCode(flags.kind), flags.number);
  if (!flags.isStand()) {
    return;
  }
  const double latitude = lf_bglLatitude(words.word(entry + parkingLatitudeWord));
  const double longitude = lf_bglLongitude(words.word(entry + parkingLongitudeWord));
  if (!lf_validPosition(latitude, longitude)) {
    lf_scanLog(fmt::format("LatLon {} invalid (skipped)", lf_positionText(latitude, longitude)));
    return;
  }
  const float heading = words.floatWord(entry + parkingHeadingWord);
  if (!std::isfinite(heading)) {
    lf_scanLog(fmt::format("Skipped position with heading {:.1F} in {}", heading, airport.bglPath));
    return;
  }
  auto id = lf_makeUniqueId(name, airport.usedNames, airport.bglPath);
  if (!id) {
    return;
  }
  airport.apf.positions.emplace_back(std::move(*id), std::vector<StandOption>{},
                                     StandPlace{latitude, longitude, lf_standHeading(heading)}, radius, flags.isCargo(),
                                     flags.isRamp(), false);
}

}  // namespace

ApfData lf_initAirportRecord(const BglWords& words, std::size_t record) {
  const auto feet = std::lround(words.signedWord(record + elevationWord) * feetPerMetre / 1000.0);
  ApfData apf;
  apf.altitude = feet < lowestAltitude || feet > highestAltitude ? 0 : static_cast<std::int32_t>(feet);
  return apf;
}

std::optional<std::string> lf_makeUniqueId(const std::string& name, std::unordered_set<std::string>& usedNames,
                                           const std::string& bglPath) {
  if (usedNames.insert(name).second) {
    return name;
  }
  for (const char suffix : uniqueSuffixes) {
    auto candidate = name + suffix;
    if (usedNames.insert(candidate).second) {
      return candidate;
    }
  }
  lf_scanLog(fmt::format("{}Warning: more than 10 duplicate IDs {} in {}", "===> ", name, bglPath));
  return std::nullopt;
}

void lf_readHelipad(std::size_t subrecord, std::size_t sizeInWords, const BglWords& words, AirportDecoding& airport) {
  if (sizeInWords <= helipadWidthWord || !words.has(subrecord + helipadWidthWord)) {
    lf_scanLog(fmt::format("Skipped helipad record of {} bytes in {}", sizeInWords * 4, airport.bglPath));
    return;
  }
  const double latitude = lf_bglLatitude(words.word(subrecord + helipadLatitudeWord));
  const double longitude = lf_bglLongitude(words.word(subrecord + helipadLongitudeWord));
  if (!lf_validPosition(latitude, longitude)) {
    lf_scanLog("lat/lon helipad incorrect (skipped): " + lf_positionText(latitude, longitude));
    return;
  }
  if (lf_isKnownHelipad(airport, latitude, longitude)) {
    lf_scanLog("double helipad " + airport.apf.airport_name + " (skipped) " + lf_positionText(latitude, longitude));
    return;
  }
  const float width = words.floatWord(subrecord + helipadWidthWord);
  if (!std::isfinite(width) || width < 0.0F) {
    lf_scanLog(fmt::format("Skipped helipad with width {:.1F} m in {}", width, airport.bglPath));
    return;
  }
  airport.helipads.emplace_back(latitude, longitude);
  airport.apf.positions.emplace_back(fmt::format("helipad{}", airport.helipadNumber++), std::vector<StandOption>{},
                                     StandPlace{latitude, longitude, 0.0}, width * 0.5, false, false, true);
}

void lf_readParkingPositions(std::size_t subrecord, std::size_t sizeInWords, const BglWords& words,
                             AirportDecoding& airport) {
  // Entries are read only where both the subrecord and the file hold them.
  const std::size_t listEnd = std::min(subrecord + sizeInWords, words.size());
  if (subrecord + parkingCountWord >= listEnd) {
    return;
  }
  const std::size_t count = words.highHalf(subrecord + parkingCountWord);
  std::size_t entry = subrecord + firstParkingWord;
  for (std::size_t index = 0; index < count; ++index) {
    if (entry + parkingEntryWords > listEnd) {
      lf_scanLog(fmt::format("Parking list cut off after {} of {} entries in {}", index, count, airport.bglPath));
      return;
    }
    lf_readParkingEntry(entry, words, airport);
    entry += parkingEntryWords + ParkingFlags{words.word(entry)}.airlineCodes;
  }
}

void lf_processAirportRecord(std::size_t record, const BglWords& words, std::size_t sizeInWords,
                             const std::string& code, const std::filesystem::path& bglPath) {
  AirportDecoding airport;
  airport.apf.code = code;
  airport.bglPath = gf_pathToUtf8(bglPath);
  const bool linked = lf_linkAirport(airport.apf, bglPath);
  if (linked && !msfs2020Mode) {
    return;
  }
  airport.apf.altitude = lf_initAirportRecord(words, record).altitude;
  const std::size_t end = record + sizeInWords;
  std::size_t position = record + bglAirportHeaderWords;
  for (std::size_t walked = 0; position < end; ++walked) {
    if (walked == maxSubrecords) {
      gf_logFlagged("   Error: Maximum loop iterations reached \u2014 possible corrupt SIA or malformed input.");
      break;
    }
    const auto size = words.recordSizeInWords(position);
    if (!size) {
      gf_log(fmt::format("   Error: o3={} exceeded data buffer size ({}), aborting.", position, words.size()));
      break;
    }
    const auto id = words.recordId(position);
    if (id == bglHelipadId) {
      lf_readHelipad(position, *size, words, airport);
      if (*size == 0) {
        gf_logFlagged(fmt::format("   Warning: decodeSizeAtBoundary returned 0 at o3 = {}", position));
        break;
      }
    } else if (id == bglParkingListId) {
      lf_readParkingPositions(position, *size, words, airport);
      break;
    } else if (*size == 0) {
      gf_log(fmt::format("   Warning: decodeSizeAtBoundary returned 0 at o3 = {}", position));
      break;
    }
    position += *size;
  }
  if (!linked) {
    lf_generatePositionsFile(airport.apf);
  }
}

}  // namespace cvl
