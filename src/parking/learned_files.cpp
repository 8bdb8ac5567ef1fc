#include "parking/learned_files.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <string_view>

#include "app/sim_choice.h"
#include "app/status_line.h"
#include "foundation/constants.h"
#include "foundation/files.h"
#include "foundation/log.h"
#include "foundation/settings_file.h"
#include "foundation/strings.h"
#include "foundation/timekeeping.h"
#include "foundation/utilities.h"
#include "foundation/version.h"
#include "foundation/xml.h"
#include "parking/airport_file_lookup.h"
#include "parking/airport_file_reader.h"
#include "parking/airport_file_writer.h"
#include "parking/current_park_airport.h"
#include "parking/park_settings.h"

namespace cvl {

std::int32_t learnedUpdates = 0;
bool handmadeFileUnread = false;
bool learnedGenerationFailed = false;

namespace {

// Learned files of older versions numbered their options differently.
constexpr VersionData firstVersionWithUsableOptions{11, 10, 0};
// Closer to latitude and longitude 0 than this, a hand-made stand has no position.
constexpr double noPosition = 0.0001;

// Built piece by piece rather than replaced in place, which g++ 12 warns of wrongly (-Wrestrict) at -O2.
std::string lf_replaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string replaced;
  std::size_t rest = 0;
  for (auto at = text.find(from); at != std::string_view::npos; at = text.find(from, rest)) {
    replaced.append(text.substr(rest, at - rest)).append(to);
    rest = at + from.size();
  }
  return replaced.append(text.substr(rest));
}

// A publisher as one folder name: "%20" and separators become blanks, and a dot name is no name.
std::string lf_publisherFolderName(const std::string& publisher) {
  std::string name = lf_replaceAll(publisher, "%20", " ");
  std::replace_if(
      name.begin(), name.end(), [](char c) { return c == '/' || c == '\\'; }, ' ');
  name = gf_trim(name);
  return name == "." || name == ".." ? std::string{} : name;
}

std::vector<ParkPos>::iterator lf_findStand(std::vector<ParkPos>& stands, const std::string& id) {
  return std::find_if(stands.begin(), stands.end(), [&id](const ParkPos& stand) { return stand.id == id; });
}

bool lf_isKnownOption(const ParkPos& stand, const StandOption& option) {
  return std::any_of(stand.options.begin(), stand.options.end(), [&option](const StandOption& known) {
    return known.day == option.day && known.real == option.real && known.reg == option.reg &&
           known.airline == option.airline && known.type == option.type && (known.hh & option.hh).any();
  });
}

// What the log says of a learned file kept as a generation.
constexpr std::string_view keptAsGeneration = "saved as *.0.xml";

// A learned file that cannot be used whole must not be replaced by what little was read of it. Where it cannot be
// kept now (a full disk, say), the save tries again.
void lf_keepGeneration(const std::filesystem::path& path) {
  if (!gf_save1GenerationOf(path)) {
    learnedGenerationFailed = true;
  }
}

// Whether the generation that the reading could not keep is still missing: room may have come back since.
bool lf_generationStillMissing(const std::filesystem::path& path) {
  if (learnedGenerationFailed && gf_save1GenerationOf(path)) {
    learnedGenerationFailed = false;
  }
  return learnedGenerationFailed;
}

// The stands of a handmade file replace those of the airport file only when the file reads whole: saved back, a file
// with a stand or option left out would lose it for good.
bool lf_readHandmadeStands(const pugi::xml_document& document, const std::filesystem::path& path,
                           std::vector<ParkPos>& stands) {
  std::vector<ParkPos> handmadeStands;
  LeftOut leftOut;
  try {
    leftOut = lf_readParkPositions(document, handmadeStands);
  } catch (const std::exception&) {
    handmadeFileUnread = true;
    throw;
  }
  if (leftOut.any()) {
    handmadeFileUnread = true;
    gf_logFlagged(
        fmt::format("handmade '{}' left out {} stand{} and {} option{}, the first: {}; the airport file's "
                    "stands stay in use",
                    path.string(), leftOut.stands, gf_pluralSSize(leftOut.stands), leftOut.options,
                    gf_pluralSSize(leftOut.options), leftOut.first));
    return false;
  }
  stands = std::move(handmadeStands);
  return true;
}

// Whether it left out an option of the stand (logged); the stand itself, when it cannot be used, is logged and left
// out.
bool lf_readManualStand(pugi::xml_node node, const std::string& id, const std::filesystem::path& path,
                        std::vector<ParkPos>& stands) {
  if (lf_findStand(stands, id) != stands.end()) {
    gf_logFlagged(fmt::format("manually created standid {} already exists in {}", gf_excerpt(id), path.string()));
    return false;
  }
  const auto latitude = gf_apfNumber(node, "latitude");
  const auto longitude = gf_apfNumber(node, "longitude");
  const auto radius = gf_apfNumber(node, "radius");
  if (id.empty() || !latitude || !longitude || !radius || *radius == 0.0 ||
      (std::abs(*latitude) <= noPosition && std::abs(*longitude) <= noPosition)) {
    gf_logFlagged(
        fmt::format("manually created standid {} misses correct attributes in {}", gf_excerpt(id), path.string()));
    return false;
  }
  LeftOut leftOut;  // its options that cannot be used are dropped, as those of the other learned stands are
  if (lf_readParkPos(node, id, 0, stands, leftOut)) {
    stands.back().manual = true;
  }
  if (leftOut.options == 0) {
    return false;
  }
  gf_logFlagged(fmt::format("manually created standid {} in {} left out {} option{}, the first: {}, {}", gf_excerpt(id),
                            path.string(), leftOut.options, gf_pluralSSize(leftOut.options), leftOut.first,
                            keptAsGeneration));
  return true;
}

void lf_readLearnedStands(const pugi::xml_document& document, const std::filesystem::path& path,
                          std::vector<ParkPos>& stands, bool readOptions) {
  bool optionLeftOut = false;
  for (const auto node : gf_rootOrDocChild(document, "parkpositions").children("parkpos")) {
    const std::string id = gf_trim(node.attribute("id").as_string());
    if (node.attribute("manual").as_bool(false)) {
      optionLeftOut = lf_readManualStand(node, id, path, stands) || optionLeftOut;
    } else if (const auto stand = lf_findStand(stands, id); stand != stands.end()) {
      optionLeftOut = lf_readLearnedParkPos(node, *stand, readOptions, path) || optionLeftOut;
    } else {
      gf_log(fmt::format("learned stand {} in {} not found?", gf_excerpt(id), path.string()));
    }
  }
  // The next save would lose the options left out for good.
  if (optionLeftOut) {
    lf_keepGeneration(path);
  }
}

void lf_readLearnedDocument(const pugi::xml_document& document, const std::filesystem::path& path,
                            const ParkAirportFile& airportFile, std::vector<ParkPos>& stands, bool& handmade) {
  const auto meta = gf_readMeta(document, true);
  if (!meta) {
    gf_logFlagged(fmt::format("{} has no usable header, {}", path.string(), keptAsGeneration));
    lf_keepGeneration(path);
    return;
  }
  bool readOptions = true;
  if (firstVersionWithUsableOptions > VersionData(meta->version)) {
    gf_log(
        "\nThis learned file was created with and older CRVL version than 11.10.0,\nAll flights will be cleared, "
        "except "
        "for a handmade file\n");
    readOptions = false;
  }
  if (const std::string name = gf_getStringParameter(document, airportNameKey).value_or("");
      name != airportFile.airport_name) {
    gf_setStatusLine(
        fmt::format("Warning: learned file airport name: '{}' differs from archived file airport name: '{}'",
                    gf_excerpt(name), gf_excerpt(airportFile.airport_name)),
        true);
  }
  lf_applyLearnedSettings(document);
  if (const auto handmadeValue = gf_getStringParameter(document, handmadeKey)) {
    handmade = lf_readHandmadeStands(document, path, stands);
    if (handmade) {
      gf_logIndented(fmt::format("{:24}: {}", handmadeKey, gf_excerpt(*handmadeValue)));
    }
    return;
  }
  handmade = false;
  lf_readLearnedStands(document, path, stands, readOptions);
}

// Whether saving would lose for good what the reading of the file left out (logged).
bool lf_mustBeLeftAlone(const std::filesystem::path& path) {
  if (handmadeFileUnread) {
    gf_logFlagged(
        fmt::format("handmade '{}' could not be read whole and is not saved, mend it by hand", path.string()));
    return true;
  }
  if (lf_generationStillMissing(path)) {
    gf_logFlagged(fmt::format(
        "learned '{}' is not saved: keeping it as *.0.xml failed, and saving it would lose what its reading left out",
        path.string()));
    return true;
  }
  return false;
}

}  // namespace

std::filesystem::path lf_learnedFolderOf(const std::string& publisher) {
  if (publisher == "stock") {
    return learnedStockFolder;
  }
  if (publisher == "simaddon") {
    return learnedSimaddonFolder;
  }
  return learnedThirdpartyFolder / lf_publisherFolderName(publisher);
}

std::filesystem::path lf_learnedPathOf(const std::string& code, const std::string& publisher) {
  if (code.empty()) {
    return {};
  }
  return lf_learnedFolderOf(publisher) / gf_xmlPathOf(code);
}

void lf_readLearned(const std::filesystem::path& path, const ParkAirportFile& airportFile, std::vector<ParkPos>& stands,
                    bool& handmade) {
  handmadeFileUnread = false;
  learnedGenerationFailed = false;
  pugi::xml_document document;
  const pugi::xml_parse_result loaded = document.load_file(path.c_str());
  if (!loaded) {
    lf_keepGeneration(path);
    gf_logFlagged(fmt::format("{} found, but could not be loaded, {}: {}", path.string(), keptAsGeneration,
                              loaded.description()));
    return;
  }
  gf_logAndFlush(fmt::format("Read from learned airport file: '{}'", path.string()));
  try {
    lf_readLearnedDocument(document, path, airportFile, stands, handmade);
  } catch (const std::exception& failure) {
    gf_log(fmt::format("lf_readLearned: {}", failure.what()));
    lf_keepGeneration(path);
  }
}

bool lf_readLearnedParkPos(pugi::xml_node node, ParkPos& stand, bool readOptions, const std::filesystem::path& path) {
  if (node.attribute("radius_change").as_bool(false)) {
    if (const auto radius = gf_apfNumber(node, "radius"); radius && *radius >= 0.0) {
      stand.radius = *radius * nmPerMetre;
      stand.radius_change = true;
    } else {
      gf_logFlagged(fmt::format("learned radius of stand {} in {} is not a number, ignored", gf_excerpt(stand.id),
                                path.string()));
    }
  }
  if (node.attribute("cargo_change").as_bool(false)) {
    stand.cargo = node.attribute("cargo").as_bool(false);
    stand.cargo_change = true;
  }
  if (!readOptions) {
    return false;
  }
  std::uint32_t nextId = 1;
  for (const StandOption& known : stand.options) {
    nextId = std::max(nextId, known.id + 1);
  }
  bool leftOut = false;
  for (const auto optNode : node.children("opt")) {
    StandOption option = lf_readStandOption(optNode, 0);
    if (option.hh.none()) {
      gf_logFlagged(fmt::format("empty bit set, {}", keptAsGeneration));
      leftOut = true;
      continue;
    }
    if (option.day < 1 || option.day > 7) {
      gf_logFlagged(fmt::format("learned option of stand {} in {} has no weekday, skipped, {}", gf_excerpt(stand.id),
                                path.string(), keptAsGeneration));
      leftOut = true;
      continue;
    }
    if (!gf_hasCleanTexts(option)) {
      gf_logFlagged(fmt::format("learned option of stand {} in {} has a text that is not clean UTF-8, skipped, {}",
                                gf_excerpt(stand.id), path.string(), keptAsGeneration));
      leftOut = true;
      continue;
    }
    if (lf_isKnownOption(stand, option)) {
      continue;
    }
    option.id = nextId++;
    stand.options.push_back(std::move(option));
  }
  return leftOut;
}

void gf_saveLearnedApf() {
  const auto path = lf_learnedPathOf(currentParkAirport.code, parkAirportFile.publisher);
  if (lf_mustBeLeftAlone(path)) {
    learnedUpdates = 0;
    return;
  }
  ApfData apf;
  apf.code = currentParkAirport.code;
  apf.airport_name = parkAirportFile.airport_name;
  apf.altitude = parkAirportFile.altitude;
  apf.publisher = parkAirportFile.publisher;
  for (const ParkPos& stand : parkPositions) {
    ParkPos saved = stand.copy();
    gf_numberOptions(saved);  // as reading the file back numbers them, set-aside ones too
    if (!apfHandmade) {
      std::erase_if(saved.options, [](const StandOption& option) { return option.origin == 1; });
      if (!saved.manual && saved.options.empty() && !saved.radius_change && !saved.cargo_change) {
        continue;
      }
    }
    apf.positions.push_back(std::move(saved));
  }
  if (apfHandmade) {
    const QualityFactors factors = gf_computeQualityFactors(apf.positions);
    apf.Qf_real = factors.Qf_real;
    apf.Qf_soft = factors.Qf_soft;
  }
  if (gf_writeApf(apf, path, ApfMode::learned, currentSimType)) {
    gf_log(fmt::format("{}{} '{}' saved with {} update{}", gf_utcNowHms(), apfHandmade ? " handmade" : "",
                       path.string(), learnedUpdates, gf_pluralSInt(learnedUpdates)));
  } else {
    gf_log(fmt::format("{} saving '{}' did not succeed", gf_utcNowHms(), path.string()));
  }
  learnedUpdates = 0;
}

}  // namespace cvl
