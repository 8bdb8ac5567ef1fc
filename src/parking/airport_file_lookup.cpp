#include "parking/airport_file_lookup.h"

#include <fmt/format.h>

#include <algorithm>
#include <pugixml.hpp>

#include "app/sim_choice.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/settings_file.h"
#include "foundation/strings.h"
#include "foundation/text_files.h"
#include "refdata/airports_database.h"
#include "refdata/downloader.h"
#include "refdata/site_url.h"

namespace cvl {
namespace {

constexpr std::string_view xmlExtension = ".XML";
constexpr std::size_t shortestName = 4;
constexpr std::size_t shortestAuthor = 4;

bool lf_endsWithXml(std::string_view name) {
  return name.size() >= xmlExtension.size() &&
         gf_equalsUpper(xmlExtension, name.substr(name.size() - xmlExtension.size()));
}

// A redirect's name, or else the file, in one of the two folders of the user's airport files.
std::string lf_findIn(const std::filesystem::path& folder, const std::string& code) {
  if (std::string name; lf_readApfRedirect(folder / gf_txtPathOf(code), name)) {
    return name;
  }
  const auto file = folder / gf_xmlPathOf(code);
  return std::filesystem::exists(file) ? file.generic_string() : std::string{};
}

bool lf_namesAuthor(const std::string& text) {
  return text.size() >= shortestAuthor && !gf_isFixedAuthor(text);
}

}  // namespace

std::filesystem::path gf_xmlPathOf(const std::string& code) {
  return code + ".xml";
}

std::filesystem::path gf_txtPathOf(const std::string& code) {
  return code + ".txt";
}

bool gf_hasAirportFile(const std::string& code) {
  for (const auto& folder : {myThirdPartyFolder, mySimAddonFolder}) {
    if (std::filesystem::exists(folder / gf_xmlPathOf(code)) || std::filesystem::exists(folder / gf_txtPathOf(code))) {
      return true;
    }
  }
  const Airport* airport = gf_findAirportByCode(code);
  return airport != nullptr && airport->stands >= 1;
}

bool lf_readApfRedirect(const std::filesystem::path& path, std::string& name) {
  if (!std::filesystem::exists(path)) {
    return false;
  }
  TextFile file{path, {}};
  const auto& lines = gf_readLines(file, 1);
  if (lines.empty()) {
    return false;
  }
  std::string line = lines.front();
  line.erase(line.find_last_not_of(whitespaceCharacters) + 1);
  if (line.size() < shortestName || !lf_endsWithXml(line)) {
    return false;
  }
  name = std::move(line);
  return true;
}

std::string gf_findApf(const std::string& code) {
  for (const auto& folder : {myThirdPartyFolder, mySimAddonFolder}) {
    if (std::string name = lf_findIn(folder, code); !name.empty()) {
      return name;
    }
  }
  const Airport* airport = gf_findAirportByCode(code);
  if (airport != nullptr && airport->stands >= 1) {
    return fmt::format("archive/stock/{}", gf_xmlPathOf(code).string());
  }
  return {};
}

bool lf_isLocalApfName(const std::string& name) {
  return name.rfind(airportsFolder.string(), 0) == 0;
}

std::filesystem::path lf_localApfPath(const std::string& name) {
  std::string portable = name;
  std::replace(portable.begin(), portable.end(), '\\', '/');
  return portable;
}

std::string gf_downloadAirportFile(const std::string& name, const std::filesystem::path& path) {
  const bool legacy = name.find("simaddon") != std::string::npos || name.find("stock") != std::string::npos;
  const std::string base = msfs2020Mode || legacy ? "MSFS/" : "MSFS2024/";
  const std::string url = gf_siteUrl(base + name);
  if (Downloader().download(url, path, false)) {
    return {};
  }
  if (std::filesystem::exists(path)) {
    std::filesystem::remove(path);
  }
  std::string failure = fmt::format("failed to download: '{}'", url);
  // After a stop the downloader has said that the transfer was stopped, not failed.
  gf_logUnlessClosing(failure);
  return failure;
}

bool gf_isFixedAuthor(const std::string& text) {
  return text == "varno";
}

bool gf_apfHasPublisher(const std::filesystem::path& path) {
  pugi::xml_document document;
  if (!document.load_file(path.c_str())) {
    gf_logFlagged(fmt::format("'{}' not found", path.string()));
    return false;
  }
  if (!gf_getStringParameter(document, publisherKey).value_or("").empty()) {
    return true;
  }
  return lf_namesAuthor(gf_getStringParameter(document, manufacturerKey).value_or("")) ||
         lf_namesAuthor(gf_getStringParameter(document, creatorKey).value_or(""));
}

}  // namespace cvl
