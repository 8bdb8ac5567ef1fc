#include "liveries/mtl_reader.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <exception>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "foundation/log.h"
#include "foundation/strings.h"
#include "liveries/dont_use_titles.h"
#include "liveries/fltsim_lines.h"
#include "liveries/livery_title_set.h"
#include "liveries/model_derivation.h"
#include "liveries/scan_reports.h"

namespace cvl {
namespace {

constexpr std::size_t modelCodeLength = 4;
constexpr std::string_view modelFolderPrefix{"IVAO_"};
constexpr std::string_view blanks{" \t\n\v\f\r"};
// Models whose liveries write a W after the model code in their titles.
constexpr std::array<std::string_view, 5> wingletModelFolders{"IVAO_B738WLfa", "IVAO_B739WLfa", "IVAO_A320wCFM",
                                                              "IVAO_A320wIAE", "IVAO_A319fIAEw"};

bool lf_isWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool lf_isWord(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), lf_isWordChar);
}

bool lf_equalsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && lf_startsWithNoCase(a, b);
}

// The <model> of a path ending in <package>\SimObjects\Airplanes\IVAO_<model>\aircraft.cfg, with a package folder
// IVAO_MTL or ivao_x-csl (in any case) and something before it; either separator counts.
std::optional<std::string_view> lf_ivaoModelFolderCode(std::string_view path) {
  std::array<std::string_view, 5> tail;  // the last five path elements, the file name first
  for (auto& element : tail) {
    const auto separator = path.find_last_of("/\\");
    if (separator == std::string_view::npos) {
      return std::nullopt;
    }
    element = path.substr(separator + 1);
    path = path.substr(0, separator);
  }
  const auto [file, modelFolder, airplanes, simObjects, package] = tail;
  const bool matches = !path.empty() && lf_equalsNoCase(file, "aircraft.cfg") &&
                       lf_startsWithNoCase(modelFolder, modelFolderPrefix) &&
                       lf_isWord(modelFolder.substr(modelFolderPrefix.size())) &&
                       lf_equalsNoCase(airplanes, "Airplanes") && lf_equalsNoCase(simObjects, "SimObjects") &&
                       (lf_equalsNoCase(package, "IVAO_MTL") || lf_equalsNoCase(package, "ivao_x-csl"));
  if (!matches) {
    return std::nullopt;
  }
  return modelFolder.substr(modelFolderPrefix.size());
}

bool lf_isWingletModelFolder(const std::filesystem::path& folder) {
  const auto text = folder.string();
  return std::any_of(wingletModelFolders.begin(), wingletModelFolders.end(),
                     [&](std::string_view name) { return text.find(name) != std::string::npos; });
}

// The airline a title names right after the model code (and the W of a winglet model), blanks allowed between:
// three word characters as written in the title.
std::optional<std::string> lf_airlineFromTitle(std::string_view title, const std::string& model, bool winglets) {
  const auto prefix = winglets ? model + "W" : model;
  if (!lf_startsWithNoCase(title, prefix)) {
    return std::nullopt;
  }
  auto rest = title.substr(prefix.size());
  rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(blanks)));
  if (rest.size() < 3 || !lf_isWord(rest.substr(0, 3)) || rest.find_first_of("\n\r", 3) != std::string_view::npos) {
    return std::nullopt;
  }
  return std::string{rest.substr(0, 3)};
}

// The keys of an IVAO section as read so far; empty means not read yet.
struct IvaoSectionKeys {
  std::string title;
  std::string parkingTypes;
  std::string registration;
  std::string texture;
};

// Reads the keys of the section line by line; false when the section gives no livery.
bool lf_readIvaoSectionKeys(const CfgLines& section, const std::filesystem::path& folder, IvaoSectionKeys& keys) {
  const auto& header = section.front();
  std::string value;
  for (const auto& line : section) {
    if (keys.title.empty() && lf_matchTitleLine(line, value)) {
      keys.title = gf_trim(value);
      if (keys.title.size() < value.size()) {
        gf_log(fmt::format("removed spaces around title '{}' --> '{}'", gf_excerpt(value), gf_excerpt(keys.title)));
      }
    } else if (lf_matchTitleLine(line, value)) {
      lf_reportSection(folder, header, "has more than one title key");
      return false;
    } else if (keys.parkingTypes.empty() && lf_matchParkingTypes(line, value)) {
      gf_trimCommaList(value);
      keys.parkingTypes = gf_asciiUpper(value);
    } else if (!keys.parkingTypes.empty() && lf_hasParkingTypesKey(line)) {
      lf_reportSection(folder, header, "has more than one atc_parking_types key");
      return false;
    } else if (keys.registration.empty() && lf_matchAtcIdLine(line, value)) {
      if (!lf_validAtcId(value, keys.registration)) {
        lf_addIncompleteSectionLine(fmt::format("invalid atc_id={} in {}", value, keys.title));
        keys.registration.clear();
      }
    } else if (!keys.registration.empty() && lf_hasAtcIdKey(line)) {
      lf_addIncompleteSectionLine(fmt::format("{}, {}, has more than one atc_id key", folder.string(), header));
      return false;
    } else if (keys.texture.empty()) {
      lf_matchTextureLine(line, keys.texture);
    }
  }
  return true;
}

// A texture folder whose status cannot be read (a name too long, say) counts as missing: it costs only its section.
bool lf_textureFolderExists(const std::filesystem::path& textureFolder) {
  std::error_code failure;
  return std::filesystem::is_directory(textureFolder, failure);
}

// The section's airline: named in the title, else the airline of its registration. Nothing (and a report line) when
// it has none or names an unknown one.
std::optional<std::string> lf_sectionAirline(IvaoSectionKeys& keys, const std::string& model,
                                             const std::filesystem::path& path, const std::filesystem::path& folder,
                                             const std::string& header) {
  if (auto airline = lf_airlineFromTitle(keys.title, model, lf_isWingletModelFolder(folder))) {
    if (!lf_isLiveryAirline(*airline)) {
      lf_reportInvalidAirline(*airline, path, header);
      return std::nullopt;
    }
    if (*airline == genericAirline) {
      keys.registration.clear();
    }
    return airline;
  }
  const auto missing = fmt::format("misses airlinecode in title: {}", keys.title);
  if (keys.registration.empty()) {
    lf_reportSection(folder, header, missing + ", and no regcode");
    return std::nullopt;
  }
  auto airline = lf_airlineOfRegistration(keys.registration);
  if (!airline) {
    lf_reportSection(folder, header, fmt::format("{}, and regcode unknown {}", missing, keys.registration));
  }
  return airline;
}

LiveryData lf_ivaoSectionLivery(std::uint32_t folderPriority, const CfgLines& section, const std::string& model,
                                const std::filesystem::path& path, const std::filesystem::path& folder) {
  const auto& header = section.front();
  IvaoSectionKeys keys;
  if (!lf_readIvaoSectionKeys(section, folder, keys)) {
    return {};
  }
  const auto textureFolder = folder / ("texture." + keys.texture);
  if (!lf_textureFolderExists(textureFolder)) {
    lf_reportSection(textureFolder, header, "does not exist");
    return {};
  }
  if (keys.title.empty()) {
    lf_reportSection(folder, header, "misses title");
    return {};
  }
  if (DontUseTitles.contains(keys.title)) {
    return {};
  }
  const auto airline = lf_sectionAirline(keys, model, path, folder, header);
  if (!airline) {
    return {};
  }
  auto livery = lf_makeLiveryData(folderPriority, *airline, model, true, keys.title, keys.registration);
  if (livery.title.empty()) {
    lf_reportSection(folder, header, "title already exists: " + keys.title);
  }
  return livery;
}

}  // namespace

std::string lf_modelFromIvaoPath(const std::filesystem::path& path) {
  const auto pathText = path.string();
  const auto code = lf_ivaoModelFolderCode(pathText);
  if (!code) {
    lf_reportInvalidModel("  ", path);
    return {};
  }
  return lf_resolveModelCode(std::string{code->substr(0, modelCodeLength)}, path);
}

LiveryList lf_procesIVAOFltSimSections(std::uint32_t folderPriority, const CfgLines& lines, const std::string& model,
                                       const std::filesystem::path& path, const std::filesystem::path& folder) {
  LiveryList liveries;
  const auto anyBracket = [](std::string_view line) { return line.find('[') != std::string_view::npos; };
  lf_forEachFltsimSection(lines, anyBracket, [&](CfgLines&& section) {
    auto livery = lf_procesIVAOFltSimSection(folderPriority, std::move(section), model, path, folder);
    if (!livery.title.empty()) {
      liveries.push_back(std::move(livery));
    }
  });
  return liveries;
}

LiveryData lf_procesIVAOFltSimSection(std::uint32_t folderPriority, CfgLines section, const std::string& model,
                                      const std::filesystem::path& path, const std::filesystem::path& folder) {
  lf_dropTrailingComments(section);
  if (section.empty()) {
    return {};
  }
  return lf_ivaoSectionLivery(folderPriority, section, model, path, folder);
}

LiveryList lf_searchLiveriesinIVAOFile(std::uint32_t folderPriority, const std::filesystem::path& path) {
  try {
    const auto model = lf_modelFromIvaoPath(path);
    if (model.empty()) {
      return {};
    }
    const auto lines = lf_readCfgLines(path, gf_logFlagged);
    if (!lines || !lf_checkFltsimSections(*lines, path)) {
      return {};
    }
    return lf_procesIVAOFltSimSections(folderPriority, *lines, model, path, path.parent_path());
  } catch (const std::exception& failure) {
    gf_log(fmt::format("! Exception in lf_searchLiveriesinIVAOFile {}: {}", path.string(), failure.what()));
    throw;
  } catch (...) {
    gf_log(fmt::format("! Unknown exception in lf_searchLiveriesinIVAOFile {}", path.string()));
    throw;
  }
}

}  // namespace cvl
