#include "foundation/settings_upgrade.h"

#include <fmt/format.h>

#include <algorithm>
#include <limits>
#include <mutex>
#include <pugixml.hpp>
#include <string_view>
#include <vector>

#include "app/exit_reasons.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_file.h"
#include "foundation/version.h"
#include "foundation/xml.h"
#include "parking/fit_levels.h"
#include "platform/ui/controls.h"
#include "refdata/version_check.h"

namespace cvl {
namespace {

// Settings of older versions: only their keys are left, in the settings file.
const Parameter CALLSIGN_OBJECTIDS{"CALLSIGN_OBJECTIDS"};
const Parameter PARK_FAKE{"PARK_FAKE"};
const Parameter SUPPRESS_STUB{"SUPPRESS_STUB"};
const Parameter LOG{"LOG"};
const Parameter LEARN_SOFT{"LEARN_SOFT"};
const Parameter PROGRAM_INSTALL_PATH{"PROGRAM_INSTALL_PATH"};
const Parameter LATERAL_RANGE{"LATERAL_RANGE"};
const Parameter CUSTOM_MAX_PARK{"CUSTOM_MAX_PARK"};
const Parameter MAX_LIVE{"MAX_LIVE"};
const Parameter AIRPORT_RANGE{"AIRPORT_RANGE"};
const Parameter AUTO_RANGE_ABOVE_HEIGHT{"AUTO_RANGE_ABOVE_HEIGHT"};
const Parameter AIRPORT_HEIGHT{"AIRPORT_HEIGHT"};
const Parameter MSFS_2020{"MSFS_2020"};
const Parameter AI_PACKAGE_ORDER{"AI_PACKAGE_ORDER"};

// Files and folders of older versions in the program's folder.
const std::filesystem::path oldCallsignFile{"Callsign2ObjectId.txt"};
const std::filesystem::path oldLearningFolder{"TO_BE_LEARNED_OFFLINE"};

// The oldest version whose settings can be converted.
constexpr VersionData oldestConvertible{11, 0, 2};

void lf_storeRunningVersion() {
  PROGRAM_VERSION.setValue(programVersion.toString());
}

void lf_removeFileIfPresent(const std::filesystem::path& path) {
  if (std::filesystem::exists(path)) {
    std::filesystem::remove(path);
  }
}

void lf_removeFolderIfPresent(const std::filesystem::path& path) {
  if (std::filesystem::exists(path)) {
    std::filesystem::remove_all(path);
  }
}

std::size_t lf_characterCount(std::string_view utf8) {
  return static_cast<std::size_t>(std::count_if(
      utf8.begin(), utf8.end(), [](char byte) { return (static_cast<unsigned char>(byte) & 0xC0U) != 0x80U; }));
}

// Older versions kept their airport files in the program's folder, named after the four-letter code. A failure here
// only ends this clean-up.
void lf_removeOldAirportFiles() {
  try {
    const auto folder = std::filesystem::current_path();
    gf_log(folder.string());
    std::vector<std::filesystem::path> doomed;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      const auto& path = entry.path();
      if (entry.is_regular_file() && path.extension() == ".xml" && lf_characterCount(path.stem().string()) == 4) {
        doomed.push_back(path);
      }
    }
    for (const auto& path : doomed) {
      std::filesystem::remove(path);
    }
  } catch (const std::exception& failure) {
    gf_log(fmt::format("Clean-up of old airport files stopped: {}", failure.what()));
  }
}

void lf_removeLeftovers() {
  for (const Parameter* old : {&CALLSIGN_OBJECTIDS, &PARK_FAKE, &SUPPRESS_STUB, &LOG, &LEARN_SOFT}) {
    lf_removeParameter(*old);
  }
  lf_removeFileIfPresent(oldCallsignFile);
  for (const Parameter* old : {&PROGRAM_INSTALL_PATH, &LATERAL_RANGE, &CUSTOM_MAX_PARK, &MAX_LIVE, &AIRPORT_RANGE,
                               &AUTO_RANGE_ABOVE_HEIGHT, &AIRPORT_HEIGHT, &MSFS_2020, &AI_PACKAGE_ORDER}) {
    lf_removeParameter(*old);
  }
  lf_removeFolderIfPresent(oldLearningFolder);
  lf_removeFileIfPresent(versionsJsonPath);
  lf_removeOldAirportFiles();
  lf_removeFileIfPresent(oldAirportsMsfsPath);
  lf_removeFileIfPresent(oldAirportsMsfsNamesPath);
  lf_removeFolderIfPresent(newVersionFolder);
}

}  // namespace

bool lf_upgradeParameters() {
  if (PROGRAM_VERSION.value == PROGRAM_VERSION.defaultValue.get()) {
    lf_storeRunningVersion();
    return false;
  }
  const VersionData stored{PROGRAM_VERSION.getValue()};
  if (!(stored == programVersion)) {
    lf_storeRunningVersion();
  }
  if (!(programVersion > stored)) {
    return false;
  }
  gf_log(fmt::format("This is a version update from {} -> {}", stored.toString(), programVersion.toString()));
  if (oldestConvertible > stored) {
    return true;
  }
  lf_removeLeftovers();
  return false;
}

int lf_removeParameter(const Parameter& parameter) {
  const std::lock_guard lock{gf_parametersFileMutex()};
  pugi::xml_document document;
  if (!document.load_file(parametersPath().c_str())) {
    return 0;
  }
  auto parameters = gf_rootOrDocChild(document, parametersElement.c_str());
  const auto entry = parameters.find_child([&parameter](pugi::xml_node node) {
    return std::string_view{node.name()} == "parameter" &&
           parameter.key == node.attribute(nameAttribute.c_str()).as_string();
  });
  if (!entry) {
    return 0;
  }
  parameters.remove_child(entry);
  if (!gf_stopping()) {
    gf_log(fmt::format("Parameter '{}' removed", parameter.key));
  }
  gf_saveXmlFile(document, parametersPath());
  return 1;
}

std::int32_t gf_setRange(std::int32_t range) {
  RANGE.value = RANGE.clampToRange(range);
  if (const auto index = RANGE.indexOf(RANGE.value)) {
    ui::comboSelectIndex(RANGE.hwnd, static_cast<int>(*index));
  }
  constexpr std::int64_t metresPerNm = 1852;
  const auto metres = std::clamp<std::int64_t>(range * metresPerNm, std::numeric_limits<std::int32_t>::min(),
                                               std::numeric_limits<std::int32_t>::max());
  rangeNm = range;
  rangeMetres = static_cast<std::int32_t>(metres);
  return rangeMetres;
}

void gf_syncMaxFitFl() {
  MAX_FIT_FL.value = gf_fitLevelToHours(MAX_FIT.value);
  const auto& choices = MAX_FIT_FL.choices;
  const auto found = std::find(choices.begin(), choices.end(), MAX_FIT_FL.value.load());
  if (found != choices.end()) {
    ui::comboSelectIndex(MAX_FIT_FL.hwnd, static_cast<int>(found - choices.begin()));
  }
}

}  // namespace cvl
