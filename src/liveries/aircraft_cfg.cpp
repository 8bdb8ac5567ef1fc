#include "liveries/aircraft_cfg.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <exception>
#include <system_error>
#include <utility>

#include "engine/ac_category.h"
#include "foundation/log.h"
#include "foundation/strings.h"
#include "foundation/text_files.h"
#include "liveries/dont_use_titles.h"
#include "liveries/fltsim_lines.h"
#include "liveries/livery_title_set.h"
#include "liveries/model_derivation.h"
#include "liveries/scan_reports.h"
#include "refdata/dbase_queries.h"
#include "refdata/registration_lookup.h"

namespace cvl {
namespace {

constexpr std::size_t expectedLines = 4096;
constexpr std::size_t expectedSectionLines = 48;
constexpr std::int32_t highestSectionNumber = 10000;
// A '[' among the first characters of a line opens another section, such as [General].
constexpr std::size_t sectionBracketColumns = 6;
constexpr std::string_view stubSuffix{"-STUB"};

// What the section reader needs to know of the file and the section.
struct SectionContext {
  std::uint32_t folderPriority;
  const std::string& model;
  const std::filesystem::path& path;
  const std::filesystem::path& folder;
  const std::string& header;
};

// The keys of a section as read so far; empty means not read yet.
struct SectionKeys {
  std::string title;
  std::string airline;
  std::string parkingTypes;
  std::string registration;
};

bool lf_opensOtherSection(std::string_view line) {
  return line.substr(0, sectionBracketColumns).find('[') != std::string_view::npos;
}

bool lf_isExcludedModelTitle(std::string_view title) {
  return title.find("FenixA320") != std::string_view::npos || title.find("PMDG 737") != std::string_view::npos;
}

void lf_reportContextSection(const SectionContext& context, std::string_view what) {
  lf_reportSection(context.folder, context.header, what);
}

// Takes the section's airline code; false when the section is to be dropped without a report.
bool lf_takeAirline(std::string code, const SectionContext& context, SectionKeys& keys) {
  gf_trimCommaList(code);
  if (code.size() == 4 && (code[3] == 'X' || code[3] == 'C')) {
    code.resize(3);
  }
  keys.airline = code;
  if (lf_isLiveryAirline(code)) {
    return true;
  }
  if (code == "RFO") {
    return false;
  }
  lf_reportInvalidAirline(code, context.path, context.header);
  keys.airline.clear();
  return true;
}

// Reads the keys of the section line by line; false when the section is dropped.
bool lf_readSectionKeys(const CfgLines& section, const SectionContext& context, SectionKeys& keys) {
  std::string value;
  for (const auto& line : section) {
    if (keys.title.empty() && lf_matchTitleLine(line, value)) {
      keys.title = gf_trim(value);
      if (lf_isExcludedModelTitle(keys.title)) {
        return false;
      }
    } else if (lf_matchTitleLine(line, value)) {
      lf_reportContextSection(context, "has more than one title key");
      return false;
    } else if (keys.airline.empty() && lf_matchIcaoAirline(line, value)) {
      if (!lf_takeAirline(value, context, keys)) {
        return false;
      }
    } else if (!keys.airline.empty() && line.find("icao_airline") != std::string::npos) {
      lf_reportContextSection(context, "has more than one icao_airline key");
      return false;
    } else if (keys.parkingTypes.empty() && lf_matchParkingTypes(line, value)) {
      gf_trimCommaList(value);
      keys.parkingTypes = gf_asciiUpper(value);
    } else if (!keys.parkingTypes.empty() && lf_hasParkingTypesKey(line)) {
      lf_reportContextSection(context, "has more than one atc_parking_types key");
      return false;
    } else if (keys.registration.empty() && lf_matchAtcIdLine(line, value)) {
      value.resize(std::min(value.size(), value.find(';')));
      if (!lf_validAtcId(value, keys.registration)) {
        lf_addIncompleteSectionLine(fmt::format("invalid atc_id={} in: {}", value, keys.title));
        keys.registration.clear();
      }
    } else if (!keys.registration.empty() && lf_hasAtcIdKey(line)) {
      lf_addIncompleteSectionLine(
          fmt::format("{}, {}, has more than one atc_id key", context.folder.string(), context.header));
      return false;
    }
  }
  return true;
}

// A section without airline: the airline of its registration, else a private owner; a heavy model without either is
// refused. False when the section gives no livery.
bool lf_deriveAirline(const SectionContext& context, SectionKeys& keys) {
  const bool heavy = gf_aircraftCategory(context.model) == AcCategory::Heavy;
  const auto sectionText = fmt::format("'{}' '{}'", context.folder.string(), context.header);
  if (!keys.registration.empty()) {
    if (auto airline = lf_airlineOfRegistration(keys.registration)) {
      keys.airline = std::move(*airline);
      return true;
    }
    if (heavy) {
      lf_addIncompleteSectionLine(sectionText + " has no airline and regcode not in dbase");
      return false;
    }
    keys.airline = privateAirline;
    return true;
  }
  if (heavy) {
    lf_addIncompleteSectionLine(sectionText + " has no airline and no regcode info");
    return false;
  }
  keys.airline = privateAirline;
  keys.registration = gf_findShortRegIn(keys.title).value_or(std::string{});
  return true;
}

LiveryList lf_sectionLivery(const SectionContext& context, const CfgLines& section) {
  SectionKeys keys;
  const bool kept = lf_readSectionKeys(section, context, keys);
  if (keys.airline.empty()) {
    lf_addIncompleteSectionLine(
        fmt::format("{} {} icao_airline is missing, or it has invalid info ", context.path.string(), context.header));
  }
  if (!kept) {
    return {};
  }
  if (keys.title.empty()) {
    lf_reportContextSection(context, "misses title");
    return {};
  }
  if (keys.title.size() >= stubSuffix.size() && keys.title.ends_with(stubSuffix)) {
    keys.airline = genericAirline;
  }
  if (DontUseTitles.contains(keys.title)) {
    return {};
  }
  if (keys.airline == genericAirline) {
    keys.registration.clear();
  }
  if (keys.airline.empty() && !lf_deriveAirline(context, keys)) {
    return {};
  }
  const bool cargo =
      keys.parkingTypes.find("CARGO") != std::string::npos && keys.parkingTypes.find("GATE") == std::string::npos;
  auto livery =
      lf_makeLiveryData(context.folderPriority, keys.airline, context.model, !cargo, keys.title, keys.registration);
  if (livery.title.empty()) {
    lf_reportContextSection(context, fmt::format("title '{}' already exists", keys.title));
    return {};
  }
  return {std::move(livery)};
}

}  // namespace

void lf_forEachFltsimSection(const CfgLines& lines, const std::function<bool(std::string_view)>& endsSection,
                             const std::function<void(CfgLines&&)>& process) {
  CfgLines section;
  section.reserve(expectedSectionLines);
  bool inSection = false;
  const auto handOver = [&] {
    if (inSection && !section.empty()) {
      process(std::move(section));
    }
    section.clear();
  };
  for (const auto& line : lines) {
    if (!lf_matchFltsimHeader(line).empty()) {
      handOver();
      inSection = true;
      section.push_back(line);
    } else if (endsSection(line)) {
      handOver();
      inSection = false;
    } else if (inSection) {
      section.push_back(line);
    }
  }
  handOver();
}

void lf_dropTrailingComments(CfgLines& section) {
  while (!section.empty() && (section.back().empty() || section.back().starts_with("//"))) {
    section.pop_back();
  }
}

std::optional<CfgLines> lf_readCfgLines(const std::filesystem::path& path, void (*logNoEncoding)(std::string_view)) {
  const auto charset = gf_detectCharset(path);
  if (charset == Charset::noneFound) {
    logNoEncoding(fmt::format("! No text encoding detected for {}", path.string()));
    return std::nullopt;
  }
  CfgLines lines;
  lines.reserve(expectedLines);
  if (!gf_readTextFile(charset, path, lines)) {
    gf_log(fmt::format("! Failed reading {}", path.string()));
    return std::nullopt;
  }
  return lines;
}

void lf_reportSection(const std::filesystem::path& folder, std::string_view header, std::string_view what) {
  lf_addIncompleteSectionLine(fmt::format("{} {} {}", folder.string(), header, what));
}

bool lf_isLiveryAirline(std::string_view airline) {
  return airline == genericAirline || gf_isIcaoAirline(airline);
}

std::optional<std::string> lf_airlineOfRegistration(std::string_view registration) {
  auto record = gf_findDbaseRecord(registration);
  if (!record || record->airl.empty()) {
    return std::nullopt;
  }
  return std::move(record->airl);
}

void lf_reportInvalidAirline(std::string_view airline, const std::filesystem::path& path, std::string_view header) {
  InvalidAirlineCodes.add(fmt::format("{:12} in {} ", airline, path.string()) + std::string{header});
}

bool lf_checkFltsimSections(const CfgLines& lines, const std::filesystem::path& path) {
  bool anyHeader = false;
  bool numberTooHigh = false;
  for (const auto& line : lines) {
    const auto number = lf_matchFltsimHeader(line);
    if (number.empty()) {
      continue;
    }
    std::int32_t value = 0;
    const auto [end, failure] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (failure != std::errc{} || end != number.data() + number.size()) {
      gf_logFlagged(fmt::format("fltsim num {} incorrect", gf_excerpt(line)));
      return false;
    }
    anyHeader = true;
    numberTooHigh = numberTooHigh || value > highestSectionNumber;
  }
  if (!anyHeader) {
    CfgFilesWithoutFltsim.add(path.string());
    return true;
  }
  if (numberTooHigh) {
    lf_addInvalidCfgLine(
        fmt::format("{} contains a [fltsim.x] section with a number < 0 or > {}", path.string(), highestSectionNumber));
    return false;
  }
  return true;
}

LiveryList lf_procesFltSimSections(std::uint32_t folderPriority, const CfgLines& lines, const std::string& model,
                                   const std::filesystem::path& path, const std::filesystem::path& folder) {
  LiveryList liveries;
  lf_forEachFltsimSection(lines, lf_opensOtherSection, [&](CfgLines&& section) {
    liveries.splice(liveries.end(), lf_procesFltSimSection(folderPriority, std::move(section), model, path, folder));
  });
  return liveries;
}

LiveryList lf_procesFltSimSection(std::uint32_t folderPriority, CfgLines section, const std::string& model,
                                  const std::filesystem::path& path, const std::filesystem::path& folder) {
  try {
    lf_dropTrailingComments(section);
    if (section.empty()) {
      return {};
    }
    const SectionContext context{folderPriority, model, path, folder, section.front()};
    return lf_sectionLivery(context, section);
  } catch (const std::exception& failure) {
    gf_log(fmt::format("Exception in lf_procesFltSimSection: {}, file: {}", failure.what(), path.string()));
    throw;
  }
}

LiveryList lf_searchLiveriesinFile(std::uint32_t folderPriority, const std::filesystem::path& path) {
  try {
    std::error_code failure;
    if (!std::filesystem::exists(path, failure)) {
      return {};
    }
    auto lines = lf_readCfgLines(path, gf_log);
    if (!lines) {
      return {};
    }
    // Add-on makers note things after values ("icao_airline = RYR ; Ryanair"); no value of this reader holds them.
    std::for_each(lines->begin(), lines->end(), lf_dropValueComment);
    if (!lf_checkFltsimSections(*lines, path)) {
      return {};
    }
    const auto model = lf_getModelOfCfg(path, *lines);
    if (model.empty()) {
      return {};
    }
    return lf_procesFltSimSections(folderPriority, *lines, model, path, path.parent_path());
  } catch (const std::exception& failure) {
    gf_log(fmt::format("! Exception in lf_searchLiveriesinFile {}: {}", path.string(), failure.what()));
    throw;
  }
}

}  // namespace cvl
