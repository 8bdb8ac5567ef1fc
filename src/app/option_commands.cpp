// The check boxes of the main window: a click toggles the box and saves its setting, then tells the user what the new
// value means or applies it.
#include <fmt/format.h>

#include <functional>
#include <string_view>
#include <vector>

#include "app/controls.h"
#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/status_line.h"
#include "app/user_commands.h"
#include "foundation/constants.h"
#include "foundation/settings_catalogue.h"
#include "liveries/liveries_processed.h"
#include "platform/ui/window.h"
#include "trafficin/realtraffic_link.h"

namespace cvl {
namespace {

// The minutes between automatic static-parking updates, which INITIAL_LOAD_ONLY switches off.
constexpr int minutesBetweenParkingUpdates = 20;
// A scan switched on before RealTraffic has connected restarts the cycle this many seconds later.
constexpr std::int32_t scanRestartDelay = 2;

struct OptionCommand {
  CheckBoxParameter& box;
  // Runs after the setting took its new value (on) and was saved.
  std::function<void(ui::Handle hwnd, bool on)> action;
};

void lf_noticeWhen(bool show, std::string_view notice) {
  if (show) {
    gf_setStatusLine(notice, false);
  } else {
    gf_clearStatusLine();
  }
}

// A notice for one of the two values, nothing for the other.
std::function<void(ui::Handle, bool)> lf_noticeWhenOn(std::string notice) {
  return [notice = std::move(notice)](ui::Handle, bool on) { lf_noticeWhen(on, notice); };
}
std::function<void(ui::Handle, bool)> lf_noticeWhenOff(std::string notice) {
  return [notice = std::move(notice)](ui::Handle, bool on) { lf_noticeWhen(!on, notice); };
}

void lf_storedOnly(ui::Handle /*hwnd*/, bool /*on*/) {}

// Before RealTraffic has connected no traffic is lost, so the cycle restarts at once and scans; afterwards the scan
// waits for the next start of the program.
void lf_scanSwitchedOn(std::string_view what) {
  if (!awaitingRealTraffic) {
    gf_setStatusLine(fmt::format("Your {} will be scanned at the next start of {}", what, programName), false);
    return;
  }
  gf_setStatusLine(fmt::format("Your {} will be scanned", what), true);
  gf_requestExit(ExitReason::newSettings, scanRestartDelay);
}

void lf_scanLiveries(ui::Handle /*hwnd*/, bool on) {
  if (!on) {
    ui::enable(AI_PACKAGE_SELECTOR.hwnd, true);
    gf_clearStatusLine();
    return;
  }
  ui::enable(AI_PACKAGE_SELECTOR.hwnd, false);
  if (awaitingRealTraffic) {
    liveriesProcessed = false;
  }
  lf_scanSwitchedOn("liveries");
}

void lf_scanAirports(ui::Handle /*hwnd*/, bool on) {
  if (on) {
    lf_scanSwitchedOn("airports");
  } else {
    gf_clearStatusLine();
  }
}

void lf_ligAutomatic(ui::Handle /*hwnd*/, bool on) {
  lf_noticeWhen(!on, "The liveries defined by your lfolder parameters will be scanned");
  ui::enable(AI_PACKAGE_SELECTOR.hwnd, on);
}

void lf_initialLoadOnly(ui::Handle /*hwnd*/, bool on) {
  lf_noticeWhen(on, fmt::format("Initial Load Only: static parked aircraft are generated once, no renewal every {} "
                                "minutes",
                                minutesBetweenParkingUpdates));
  ui::enable(nowButton.hwnd, !on && nowButtonAllowed);
}

void lf_alwaysOnTop(ui::Handle hwnd, bool on) {
  lf_noticeWhen(on, fmt::format("{}'s window will remain visible", programName));
  ui::setTopmost(hwnd, on);
}

void lf_autoRangeSwitched(ui::Handle /*hwnd*/, bool on) {
  gf_updateRangeControl();
  ui::enable(AR_ABOVE_HEIGHT.hwnd, on);
}

void lf_navLights(ui::Handle /*hwnd*/, bool /*on*/) {
  navLightsRequested.exchange(true);
}

const std::vector<OptionCommand>& optionCommands() {
  static const std::vector<OptionCommand> commands{
      {LIG_AUTOMATIC, lf_ligAutomatic},
      {LIG_PRIORITIZE,
       lf_noticeWhenOn("Liveries, for airl+model, in lower lfolders that are already available will be skipped")},
      {COLLISION_LIVE_PARKED_GND,
       lf_noticeWhenOff("Be aware, live aircraft may collide with (run through) static parked on the ground")},
      {COLLISION_USER_GND, lf_noticeWhenOff("Be aware, user aircraft may collide with (run through) live aircraft and "
                                            "static parked on the ground")},
      {COLLISION_USER_AIR,
       lf_noticeWhenOff("Be aware, user aircraft may collide with (run through) live aircraft in the air")},
      {INITIAL_LOAD_ONLY, lf_initialLoadOnly},
      {ALWAYS_ON_TOP, lf_alwaysOnTop},
      {GUID_CHANGES,
       lf_noticeWhenOff("Be aware, no more livery updates: you miss correct data for Learn, LittleNavMap, etc!")},
      {AEROWINX, lf_noticeWhenOn(fmt::format("Aerowinx mode serves only users of the Aerowinx simulator: start {} "
                                             "again to make it effective",
                                             programName))},
      {AUTO_RANGE, lf_autoRangeSwitched},
      {SCAN_LIVERIES, lf_scanLiveries},
      {SCAN_AIRPORTS, lf_scanAirports},
      {PARK_SOFT, lf_storedOnly},
      {WEEK, lf_storedOnly},
      {STRAIGHT_PBS_ONLY, lf_storedOnly},
      {LIGHT_AIRCRAFT, lf_storedOnly},
      {HELICOPTERS, lf_storedOnly},
      {HIGH_PERF_AIRCRAFT, lf_storedOnly},
      {NAV_LIGHTS_WHILE_PARKED, lf_navLights},
      {AIRBORNE_ONLY, lf_noticeWhenOn("Be aware, airborne live traffic only!  (greater than 300 ft above ground ...)")},
  };
  return commands;
}

}  // namespace

// The labels of several boxes change colour with their value, so the controls band is repainted after every click.
bool lf_handleOptionCommand(ui::Handle hwnd, std::uint16_t id) {
  for (const auto& command : optionCommands()) {
    if (command.box.controlId == id) {
      const bool on = !ui::isChecked(command.box.hwnd);
      gf_setCheckBox(command.box, on);
      command.action(hwnd, on);
      gf_invalidateBand(rcControls);
      return true;
    }
  }
  return false;
}

}  // namespace cvl
