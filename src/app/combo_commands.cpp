// The combo boxes of the main window: a user's choice becomes the setting's value (saved, apart from the callsign of
// the object-id lookup); a programmatic selection never reaches here.
#include <fmt/format.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/periodic_jobs.h"
#include "app/sim_choice.h"
#include "app/status_line.h"
#include "app/user_commands.h"
#include "engine/engine_tick.h"
#include "foundation/constants.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_file.h"
#include "foundation/settings_upgrade.h"
#include "liveries/liveries_processed.h"

namespace cvl {
namespace {

constexpr std::string_view msfs2020Choice = "MSFS 2020";
constexpr std::string_view msfs2024Choice = "MSFS 2024";
constexpr std::int32_t switchRestartDelay = 3;

struct NumberCombo {
  IntChoiceParameter& setting;
  // Runs after the new value was saved.
  std::function<void()> afterwards;
};

void lf_chooseSimulator(const std::string& text) {
  if (SIM_CHOICE.value == text) {
    return;
  }
  SIM_CHOICE.value = text;
  gf_saveStringParameter(SIM_CHOICE);
  msfs2020Mode = text == msfs2020Choice;
  lf_switchSimulator();
}

void lf_chooseAiPackageOrder(const std::string& text) {
  if (AI_PACKAGE_SELECTOR.value == text) {
    return;
  }
  AI_PACKAGE_SELECTOR.value = text;
  gf_saveStringParameter(AI_PACKAGE_SELECTOR);
  gf_setStatusLine("If you want to make this choice effective, you must start a Scan for liveries", true);
}

// The worker looks the chosen callsign's object id up within the next second.
void lf_chooseLookedUpCallsign(const std::string& text) {
  {
    const std::lock_guard lock{gf_callsignListMutex()};
    if (CALLSIGN_2_OBJECTID.value == text) {
      return;
    }
    CALLSIGN_2_OBJECTID.value = text;
  }
  mainWindow.csOidText = std::string{};
  gf_invalidateBand(rcControls);
  csOidRequested.exchange(true);
  ui::enable(blockButton.hwnd, !ui::isEnabled(unblockButton.hwnd));
}

// MAX_FIT_FL shows in hours the count of half-hour levels that MAX_FIT holds.
void lf_chooseMaxFitHours(std::size_t index) {
  const float hours = MAX_FIT_FL.choices.at(index);
  MAX_FIT_FL.value = hours;
  MAX_FIT.value = MAX_FIT.clampToRange(std::lround(2.0F * hours) - 1);
  gf_saveIntParameter(MAX_FIT);
}

const std::vector<NumberCombo>& numberCombos() {
  static const std::vector<NumberCombo> combos{
      {MATCHING_DEPTH, {}},
      {MAX_PARK_SEL, {}},
      {parking_percentage, {}},
      {RANGE, [] { gf_setRange(RANGE.value); }},
      {AIRP_RANGE, {}},
      {AR_ABOVE_HEIGHT, {}},
      {AIRP_HEIGHT, {}},
      // The aircraft lists belong to the worker: it removes the farthest live aircraft over the new limit.
      {MAX_LIVE_SEL, gf_requestLiveLimit},
  };
  return combos;
}

bool lf_chooseNumber(std::uint16_t id, std::size_t index) {
  for (const auto& combo : numberCombos()) {
    if (combo.setting.controlId == id) {
      combo.setting.value = combo.setting.clampToRange(combo.setting.choices.at(index));
      gf_saveIntParameter(combo.setting);
      if (combo.afterwards) {
        combo.afterwards();
      }
      return true;
    }
  }
  return false;
}

}  // namespace

bool lf_handleComboCommand(ui::Handle hwnd, ui::WParam wParam) {
  const std::uint16_t id = ui::loWord(wParam);
  const auto selection = lf_getComboSelection(hwnd, id, wParam);
  if (!selection) {
    return false;
  }
  const auto& [index, text] = *selection;
  if (id == SIM_CHOICE.controlId) {
    lf_chooseSimulator(text);
  } else if (id == AI_PACKAGE_SELECTOR.controlId) {
    lf_chooseAiPackageOrder(text);
  } else if (id == CALLSIGN_2_OBJECTID.controlId) {
    lf_chooseLookedUpCallsign(text);
  } else if (id == MAX_FIT_FL.controlId) {
    lf_chooseMaxFitHours(static_cast<std::size_t>(index));
  } else {
    return lf_chooseNumber(id, static_cast<std::size_t>(index));
  }
  return true;
}

void lf_switchSimulator() {
  // The liveries of the other simulator must be scanned again.
  std::filesystem::remove(scannedLiveriesPath);
  liveriesProcessed = false;
  gf_setCheckBox(SCAN_AIRPORTS, true);
  gf_setCheckBox(SCAN_LIVERIES, true);
  gf_setStatusLine(fmt::format("Switching Simulator to {}", msfs2020Mode ? msfs2020Choice : msfs2024Choice), true);
  // The start-up takes the other simulator's stored path, or finds it.
  ALL_INSTALL_PATH.value = std::string{};
  gf_setStringControlText(ALL_INSTALL_PATH);
  if (!msfs2020Mode) {
    MYSIMADDON24_VERSION.setValue({});
  }
  gf_requestExit(ExitReason::newSettings, switchRestartDelay);
}

}  // namespace cvl
