#include "refdata/version_check.h"

#include <fmt/format.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "app/controls.h"
#include "app/main_window.h"
#include "app/sim_choice.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/parameters.h"
#include "foundation/settings_catalogue.h"
#include "refdata/data_file_check.h"
#include "refdata/downloader.h"
#include "refdata/self_update.h"
#include "refdata/simaddon_update.h"
#include "refdata/site_url.h"
#include "refdata/update_failures.h"

namespace cvl {
namespace {

using Json = nlohmann::json;

// A member of a component version: a whole number, a floating number cut to its integer part, or a boolean as 0 or
// 1, from 0 up to the 32-bit limit. Anything else is no version number: a negative one could not be read back once
// stored.
std::optional<std::int32_t> lf_versionNumber(const Json& value) {
  if (value.is_boolean()) {
    return value.get<bool>() ? 1 : 0;
  }
  if (!value.is_number()) {
    return std::nullopt;
  }
  const double number = std::trunc(value.get<double>());
  if (!(number >= 0 && number <= std::numeric_limits<std::int32_t>::max())) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(number);
}

// The component's version; nothing when the document has no such member or it is not an object of three numbers.
std::optional<VersionData> lf_componentVersion(const Json& versions, const std::string& key) {
  if (!versions.is_object() || !versions.contains(key)) {
    return std::nullopt;
  }
  const Json& component = versions.at(key);
  std::optional<std::int32_t> major, minor, patch;
  if (component.is_object() && component.contains("major") && component.contains("minor") &&
      component.contains("patch")) {
    major = lf_versionNumber(component.at("major"));
    minor = lf_versionNumber(component.at("minor"));
    patch = lf_versionNumber(component.at("patch"));
  }
  if (!major || !minor || !patch) {
    gf_log(fmt::format("versions.json: {} is not a version of three numbers", key));
    return std::nullopt;
  }
  return VersionData{*major, *minor, *patch};
}

// Fetches versions.json, reads it and removes it. Nothing when it cannot be fetched, opened or parsed (logged).
std::optional<Json> lf_fetchVersions() {
  if (!Downloader{}.download(gf_siteUrl(versionsJsonPath.string()), versionsJsonPath, false)) {
    // A download that a stop ended is no failure of the site; the downloader has said it was stopped.
    gf_logFlaggedUnlessClosing("Downloading version info from my web site failed!");
    return std::nullopt;
  }
  std::ifstream stream{versionsJsonPath};
  if (!stream) {
    gf_logFlagged("Cannot open versions.json");
    return std::nullopt;
  }
  Json versions = Json::parse(stream, nullptr, false);
  stream.close();
  std::filesystem::remove(versionsJsonPath);
  if (versions.is_discarded()) {
    gf_logFlagged("versions.json is not valid JSON, no updates checked");
    return std::nullopt;
  }
  return versions;
}

bool lf_isNewer(const VersionData& webVersion, const StringParameter& stored) {
  return webVersion > VersionData{stored.getValue()};
}

using DataFileCheck = std::function<DataFileState(const std::filesystem::path&)>;

// A file in input/ that the start-up could not read is as good as missing: one damaged on disk is fetched again. One
// that the user may not read, or whose plain text cannot be written there, is not: a download would not mend the
// file's owner or the folder, and the start-up says why.
bool lf_installedFileServes(const std::filesystem::path& target, const DataFileCheck& check) {
  if (!gf_dataFileExists(target)) {
    return false;
  }
  if (check(target) != DataFileState::damaged) {
    return true;
  }
  gf_logFlagged(fmt::format("{} is damaged, downloading it again", target.string()));
  return false;
}

// An encrypted data file of the major version's folder: fetched when newer than the stored version, missing or
// damaged. It replaces the file there only when it reads as the start-up will read it.
void lf_updateDataFile(const Json& versions, const std::string& key, StringParameter& stored,
                       const std::filesystem::path& fileName, const std::filesystem::path& target,
                       const DataFileCheck& check) {
  const auto webVersion = lf_componentVersion(versions, key);
  if (!webVersion) {
    lf_logVersionNotFound(key);
    return;
  }
  const bool newer = lf_isNewer(*webVersion, stored);
  if (!newer && lf_installedFileServes(target, check)) {
    lf_logUpToDate(key);
    return;
  }
  // At its stored version a file that is there but does not serve is damaged: it is fetched again as a repair.
  const bool repair = !newer && gf_dataFileExists(target);
  std::error_code ignored;
  std::filesystem::create_directories(target.parent_path(), ignored);
  const auto usable = [&check](const std::filesystem::path& download) {
    return check(download) == DataFileState::usable;
  };
  if (!gf_downloadFromSite(fileName, target, usable)) {
    // What is there stays, and the stored version, left as it was, asks for the download again at the next start.
    if (repair) {
      gf_reportRepairFailed(key, target);
    } else {
      gf_reportComponentUpdateFailed(key, *webVersion, target);
    }
    return;
  }
  stored.setValue(webVersion->toString());
  if (repair) {
    gf_log(fmt::format("{} repaired with {} {}", target.string(), key, webVersion->toString()));
  } else {
    lf_logUpdated(key, *webVersion);
  }
}

// Switches the scan option on, so that the start-up rescans; the version counts as done from here on.
void lf_requestRescan(const std::string& key, const VersionData& webVersion, CheckBoxParameter& scanOption,
                      StringParameter& stored) {
  gf_setCheckBox(scanOption, true);
  gf_invalidateBand(rcControls);
  stored.setValue(webVersion.toString());
  lf_logUpdated(key, webVersion);
}

void lf_checkScanData(const Json& versions, const std::string& key, CheckBoxParameter& scanOption,
                      StringParameter& stored, const std::optional<std::filesystem::path>& scanData) {
  const auto webVersion = lf_componentVersion(versions, key);
  if (!webVersion) {
    lf_logVersionNotFound(key);
    return;
  }
  if (lf_isNewer(*webVersion, stored) || (scanData && !std::filesystem::exists(*scanData))) {
    lf_requestRescan(key, *webVersion, scanOption, stored);
  } else {
    lf_logUpToDate(key);
  }
}

void lf_checkSimAddon(const Json& versions) {
  const std::string key{"simaddon"};
  const auto webVersion = lf_componentVersion(versions, key);
  if (!webVersion) {
    lf_logVersionNotFound(key);
    return;
  }
  switch (lf_updateMySimAddon(*webVersion)) {
    case ComponentUpdate::updated:
      lf_logUpdated(key, *webVersion);
      break;
    case ComponentUpdate::upToDate:
      lf_logUpToDate(key);
      break;
    case ComponentUpdate::failed:
      gf_reportComponentUpdateFailed(key, *webVersion, mySimAddonFolder);
      break;
  }
}

// True when a newer program has been prepared and the run is to end.
bool lf_checkProgram(const Json& versions) {
  const std::string key{"msfs"};
  const auto webVersion = lf_componentVersion(versions, key);
  if (!webVersion) {
    lf_logVersionNotFound(key);
    return false;
  }
  gf_log(fmt::format("{} program version at web = {}", key, webVersion->toString()));
  if (!(*webVersion > programVersion)) {
    lf_logUpToDate(key);
    return false;
  }
  return lf_installNewVersion(*webVersion);
}

}  // namespace

void lf_logUpdated(std::string_view key, const VersionData& version) {
  gf_log(fmt::format("{} updated to {}", key, version.toString()));
}

void lf_logUpToDate(std::string_view key) {
  gf_log(fmt::format("{} version up-to-date", key));
}

void lf_logVersionNotFound(std::string_view key) {
  gf_logFlagged(fmt::format("{} version not found", key));
}

bool gf_checkVersions() {
  const auto versions = lf_fetchVersions();
  if (!versions) {
    return true;
  }
  if (lf_checkProgram(*versions)) {
    return false;
  }
  if (!msfs2020Mode) {
    lf_checkSimAddon(*versions);
  }
  lf_updateDataFile(*versions, "airports", AIRPORTS_VERSION, airportsEncName, airportsEncPath, gf_airportsFileState);
  lf_updateDataFile(*versions, "aig", AIG_VERSION, aigRegcodesEncName, aigRegcodesEncPath, gf_aigRegcodesFileState);
  lf_checkScanData(*versions, "liveries", SCAN_LIVERIES, LIV_SCAN_VERSION, scannedLiveriesPath);
  lf_checkScanData(*versions, "addons", SCAN_AIRPORTS, ADDONS_SCAN_VERSION, std::nullopt);
  lf_updateDataFile(*versions, "dbase", DBASE_VERSION, dbaseEncName, dbaseEncPath, gf_dbaseFileState);
  return true;
}

}  // namespace cvl
