#include "app/startup.h"

#include <fmt/format.h>

#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include "app/controls.h"
#include "app/entry_point.h"
#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/run_loop.h"
#include "app/shell_helpers.h"
#include "app/sim_choice.h"
#include "app/status_line.h"
#include "foundation/constants.h"
#include "foundation/half_hours.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_file.h"
#include "foundation/settings_upgrade.h"
#include "foundation/user_error.h"
#include "refdata/aircraft_database.h"
#include "refdata/airports_database.h"
#include "refdata/data_file_check.h"
#include "refdata/similar_models.h"
#include "refdata/update_leftovers.h"
#include "refdata/version_check.h"
#include "sceneryscan/folders_before_scan.h"
#include "sceneryscan/install_detection.h"

namespace cvl {

std::atomic<bool> realTrafficDetected{true};
bool dataFilesLoaded = false;

namespace {

namespace fs = std::filesystem;

constexpr std::string_view msfs2020Choice = "MSFS 2020";
constexpr std::int32_t startParkingPercentage = 30;

void lf_setEnabled(const OptionControl& control, bool enabled) {
  ui::enable(control.hwnd, enabled);
}

void lf_enableAll(std::initializer_list<const OptionControl*> controls) {
  for (const OptionControl* control : controls) {
    lf_setEnabled(*control, true);
  }
}

// The hours with one decimal; the entry equal to the value selected, then the value follows MAX_FIT.
void lf_fillMaxFitFlCombo() {
  const ui::Handle combo = MAX_FIT_FL.hwnd;
  ui::comboReset(combo);
  int selected = -1;
  for (std::size_t index = 0; index < MAX_FIT_FL.choices.size(); ++index) {
    ui::comboAdd(combo, fmt::format("{:.1f}", MAX_FIT_FL.choices[index]));
    if (selected < 0 && MAX_FIT_FL.choices[index] == MAX_FIT_FL.value) {
      selected = static_cast<int>(index);
    }
  }
  ui::comboSelectIndex(combo, selected);
  gf_syncMaxFitFl();
}

// The start value of the parking percentage until an airport file sets it; not saved.
void lf_showStartParkingPercentage() {
  parking_percentage.fillCombo();
  lf_setEnabled(parking_percentage, false);
  parking_percentage.value = startParkingPercentage;
  const auto index = parking_percentage.indexOf(startParkingPercentage);
  ui::comboSelectIndex(parking_percentage.hwnd, index ? static_cast<int>(*index) : -1);
}

fs::file_status lf_statusOf(const fs::path& path, const char* operation) {
  std::error_code failure;
  const auto status = fs::status(path, failure);
  if (failure && status.type() != fs::file_type::not_found) {
    throw fs::filesystem_error(operation, path, failure);
  }
  return status;
}

void lf_createFolderWhenMissing(const fs::path& folder) {
  if (fs::is_directory(lf_statusOf(folder, "status"))) {
    return;
  }
  std::error_code failure;
  fs::create_directories(folder, failure);
  if (failure) {
    throw fs::filesystem_error("create_directories", folder, failure);
  }
}

void lf_removeWhenPresent(const fs::path& path) {
  if (!fs::exists(lf_statusOf(path, "exists"))) {
    return;
  }
  std::error_code failure;
  fs::remove(path, failure);
  if (failure) {
    throw fs::filesystem_error("remove", path, failure);
  }
}

// A false result leaves the flag clear, so that the next cycle reads the files again instead of running without its
// aircraft database.
void lf_readDataFilesOnce() {
  if (dataFilesLoaded) {
    return;
  }
  gf_reserveSimilarModelResults();
  if (!gf_readDbase()) {
    throw std::runtime_error(gf_unusableDataFileText(dbaseEncPath));
  }
  dataFilesLoaded = true;
}

StringParameter& lf_chosenInstallPath() {
  return msfs2020Mode ? MSFS_INSTALL_PATH : MSFS_2024_INSTALL_PATH;
}

// The path edit field shows the chosen simulator's install path; without one stored, the path found on this computer
// is stored, and without that the user must type it.
void lf_settleInstallPath() {
  StringParameter& installPath = lf_chosenInstallPath();
  ALL_INSTALL_PATH.value = installPath.getValue();
  gf_enableControl(ALL_INSTALL_PATH);
  gf_setStringControlText(ALL_INSTALL_PATH);
  if (!ALL_INSTALL_PATH.value.empty()) {
    return;
  }
  const std::string found = gf_installPath().string();
  if (found.empty()) {
    throw UserErrorException(
        150, "No install path detected, type full path to your Community folder above, and press Enter");
  }
  installPath.setValue(found);
  ALL_INSTALL_PATH.value = found;
  gf_setStringControlText(ALL_INSTALL_PATH);
}

void lf_detectRealTraffic() {
  const auto jar = gf_appDataPath() / insideSystemsFolderName / "RealTraffic.jar";
  const auto type = lf_statusOf(jar, "exists").type();
  realTrafficDetected = type != fs::file_type::not_found && type != fs::file_type::none;
  gf_setStatusLine(fmt::format("RealTraffic {}detected at this PC", realTrafficDetected ? "" : "not "), true);
}

}  // namespace

void lf_startUp() {
  gf_initParameters();
  // The radius in use follows the stored RANGE from the start, not only after the user's next choice.
  gf_setRange(RANGE.value);
  gf_invalidateBand(rcHeader);
  gf_flushLog();
  lf_enableControls();
  lf_stripCommunitySuffix(lf_chosenInstallPath());
  lf_prepareFolders();
  if (!restartPending && !gf_checkVersions()) {
    return;  // a new program version is being installed; the stop has been requested
  }
  if (gf_stopping()) {
    return;  // closed while the site was asked
  }
  weekTimeNow = gf_weekdayAndHalfHour().packed();
  lf_readDataFilesOnce();
  if (!gf_readAirports()) {
    throw std::runtime_error("reading airports failed!");
  }
  lf_settleInstallPath();
  gf_invalidateBand(rcControls);
  if (productionMode) {
    lf_productionEnd();
    return;
  }
  lf_detectRealTraffic();
}

void lf_enableControls() {
  lf_enableAll({&ALWAYS_ON_TOP, &NAV_LIGHTS_WHILE_PARKED, &GUID_CHANGES, &SCAN_LIVERIES, &LIG_AUTOMATIC,
                &LIG_PRIORITIZE, &SCAN_AIRPORTS});
  lf_setEnabled(tbloButton, false);
  lf_setEnabled(MATCHING_DEPTH, true);
  MATCHING_DEPTH.fillCombo();
  lf_enableAll({&LIGHT_AIRCRAFT, &HELICOPTERS, &HIGH_PERF_AIRCRAFT});
  lf_setEnabled(RANGE, !AUTO_RANGE.value);
  RANGE.fillCombo();
  lf_setEnabled(AUTO_RANGE, true);
  lf_setEnabled(AR_ABOVE_HEIGHT, AUTO_RANGE.value);
  AR_ABOVE_HEIGHT.fillCombo();
  lf_enableAll({&AIRBORNE_ONLY, &COLLISION_USER_GND, &COLLISION_USER_AIR, &COLLISION_LIVE_PARKED_GND});
  lf_setEnabled(blockButton, false);
  lf_setEnabled(BLOCK_CALLSIGN, true);
  lf_setEnabled(unblockButton, !BLOCK_CALLSIGN.value.empty());
  if (!INITIAL_LOAD_ONLY.value) {
    lf_setEnabled(nowButton, false);
  }
  nowButtonAllowed = true;
  for (IntChoiceParameter* selection : {&MAX_PARK_SEL, &MAX_LIVE_SEL}) {
    lf_setEnabled(*selection, true);
    selection->fillCombo();
  }
  lf_setEnabled(STRAIGHT_PBS_ONLY, true);
  lf_setEnabled(csOidButton, false);
  lf_setEnabled(CALLSIGN_2_OBJECTID, false);
  AI_PACKAGE_SELECTOR.fillCombo();
  lf_setEnabled(AI_PACKAGE_SELECTOR, LIG_AUTOMATIC.value);
  msfs2020Mode = SIM_CHOICE.value == msfs2020Choice;
  lf_setEnabled(SIM_CHOICE, true);
  SIM_CHOICE.fillCombo();
  currentSimType = SimType::msfs2020;
  lf_setEnabled(DESTINATION, false);
  for (IntChoiceParameter* airportChoice : {&AIRP_RANGE, &AIRP_HEIGHT}) {
    lf_setEnabled(*airportChoice, true);
    airportChoice->fillCombo();
  }
  lf_setEnabled(rereadButton, false);
  lf_showStartParkingPercentage();
  lf_fillMaxFitFlCombo();
  lf_setEnabled(MAX_FIT_FL, false);
  lf_enableAll({&WEEK, &PARK_SOFT});
  lf_setEnabled(flushStaticButton, false);
  lf_setEnabled(INITIAL_LOAD_ONLY, true);
}

void lf_stripCommunitySuffix(StringParameter& installPath) {
  constexpr std::size_t suffixLength = std::string_view{"\\Community"}.size();
  const std::string path = installPath.getValue();
  if (path.ends_with("\\Community") || path.ends_with("/Community")) {
    installPath.setValue(path.substr(0, path.size() - suffixLength));
  }
}

void lf_prepareFolders() {
  gf_requireSearchableFolder(inputFolder);
  gf_removeUpdateLeftovers();
  for (const fs::path* folder :
       {&outputFolder, &outputInfoFolder, &outputErrorsFolder, &airportsFolder, &learnedFolder, &learnedStockFolder,
        &learnedSimaddonFolder, &learnedThirdpartyFolder, &mySimAddonFolder, &myThirdPartyFolder, &myRegcodesFolder}) {
    lf_createFolderWhenMissing(*folder);
  }
  gf_giveBackFoldersSetAside();
  lf_removeWhenPresent(inputFolder / "AIG-regcodes0.xml");
  lf_removeWhenPresent(inputFolder / "AIG-regcodes00.xml");
}

void lf_productionEnd() {
  if (!productionMode) {
    return;
  }
  processExitCode = 0;
  gf_requestExit(ExitReason::userClosedSim, 0);
}

}  // namespace cvl
