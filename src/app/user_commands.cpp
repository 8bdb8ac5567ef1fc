#include "app/user_commands.h"

#include <fmt/format.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/edit_commands.h"
#include "app/main_window.h"
#include "app/painting.h"
#include "app/periodic_jobs.h"
#include "app/shell_helpers.h"
#include "app/status_line.h"
#include "engine/aircraft_lists.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "parking/park_airport_list.h"
#include "simlink/client_events.h"

namespace cvl {
namespace {

// The minutes to the next automatic static-parking update after "Now".
constexpr std::int32_t minutesAfterNow = 20;

struct ButtonCommand {
  const ButtonControl& button;
  // False when the command failed and counts as not handled.
  std::function<bool()> action;
};

bool lf_unblock() {
  if (BLOCK_CALLSIGN.value.empty()) {
    gf_setStatusLine("Nothing to block or unblock...", false);
  } else {
    lf_unblockCallsign();
  }
  ui::enable(blockButton.hwnd, !gf_lookedUpCallsign().empty());
  return true;
}

bool lf_refreshCallsigns() {
  callsignListRefreshRequested.exchange(true);
  ui::enable(blockButton.hwnd, false);
  return true;
}

bool lf_block() {
  lf_blockCallsign(gf_lookedUpCallsign());
  gf_resetCallsignToObjectId();
  ui::enable(blockButton.hwnd, false);
  return true;
}

// Both come back when the worker has read the park airports again.
bool lf_reRead() {
  reReadRequested.exchange(true);
  ui::enable(rereadButton.hwnd, false);
  ui::enable(DESTINATION.hwnd, false);
  return true;
}

bool lf_flushStatic() {
  gf_setStatusLine("All static parked aircraft will be removed ...", false);
  flushStaticRequested.exchange(true);
  ui::enable(flushStaticButton.hwnd, false);
  return true;
}

bool lf_openTbloArchive() {
  return gf_openOrTell(tbloFolder / tbloZipPath, "Could not open File Explorer at tblo.zip.");
}

bool lf_updateStaticParkingNow() {
  if (!parkAirportFileLoaded) {
    return true;
  }
  if (INITIAL_LOAD_ONLY.value) {
    gf_clearStatusLine();
    return true;
  }
  lf_announceStaticParkingUpdate();
  parkingUpdateCountdown = minutesAfterNow;
  mainWindow.minutesToParkingUpdate = minutesAfterNow;
  gf_invalidateBand(rcControls);
  return true;
}

const std::vector<ButtonCommand>& buttonCommands() {
  static const std::vector<ButtonCommand> commands{
      {unblockButton, lf_unblock},
      {csOidButton, lf_refreshCallsigns},
      {blockButton, lf_block},
      {rereadButton, lf_reRead},
      {flushStaticButton, lf_flushStatic},
      {tbloButton, lf_openTbloArchive},
      {nowButton, lf_updateStaticParkingNow},
  };
  return commands;
}

void lf_serveNavLights() {
  if (!navLightsRequested.exchange(false)) {
    return;
  }
  const std::uint32_t on = NAV_LIGHTS_WHILE_PARKED.value ? 1 : 0;
  for (const StaticAc& aircraft : staticAcs) {
    if (aircraft.state == AcState::active) {
      gf_setNavLights(aircraft.objectId, on);
    }
  }
  for (const LiveAc& aircraft : liveAcs) {
    if (aircraft.state == AcState::active && aircraft.phase == AcPhase::parked) {
      gf_setNavLights(aircraft.objectId, on);
    }
  }
}

}  // namespace

std::atomic<bool> navLightsRequested{false};

bool lf_HandleWMCOMMAND(ui::Handle hwnd, ui::WParam wParam) {
  try {
    const std::uint16_t id = ui::loWord(wParam);
    if (lf_handleButtonCommand(hwnd, id) || lf_handleOptionCommand(hwnd, id) || lf_handleComboCommand(hwnd, wParam)) {
      return true;
    }
  } catch (const std::exception& failure) {
    gf_logFlagged(fmt::format("{} exception {}", "lf_HandleWMCOMMAND", failure.what()));
  }
  gf_invalidateBand(rcControls);
  return false;
}

// A push button is never checked, so every click runs its command.
bool lf_handleButtonCommand(ui::Handle /*hwnd*/, std::uint16_t id) {
  for (const auto& command : buttonCommands()) {
    if (command.button.controlId == id) {
      return command.action();
    }
  }
  return false;
}

void gf_serveUserCommandRequests() {
  lf_serveNavLights();
  gf_servePendingDestination();
}

}  // namespace cvl
