#include "app/edit_commands.h"

#include <fmt/format.h>

#include <filesystem>
#include <mutex>
#include <optional>
#include <stdexcept>

#include "app/controls.h"
#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/periodic_jobs.h"
#include "app/sim_choice.h"
#include "app/status_line.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/strings.h"
#include "foundation/text_encoding.h"
#include "parking/destination_park_airport.h"
#include "refdata/airports_database.h"

namespace cvl {
namespace {

constexpr std::size_t shortestCallsign = 4;
constexpr std::size_t longestCallsign = 8;
constexpr std::size_t icaoCodeLength = 4;
constexpr std::int32_t newPathRestartDelay = 3;

// The destination whose place at the head of the park-airport list the worker still has to make, for the park-airport
// list belongs to the worker thread.
struct PendingDestination {
  std::string code;
  double latitude = 0.0;
  double longitude = 0.0;
};
std::mutex pendingDestinationMutex;
std::optional<PendingDestination> pendingDestination;

StringParameter& lf_chosenSimInstallPath() {
  return msfs2020Mode ? MSFS_INSTALL_PATH : MSFS_2024_INSTALL_PATH;
}

void lf_clearErrorAndStatusLine() {
  {
    const std::lock_guard lock{mainWindow.mutex};
    mainWindow.errorText.clear();
  }
  gf_clearStatusLine();
}

// The text before the first "Community" of a path text, without the separator before it; nothing when no folder name
// stands before it.
std::optional<std::string> lf_communityParentText(const std::string& text) {
  const std::size_t at = text.find(communityFolderName.string());
  if (at == std::string::npos || at < 2) {
    return std::nullopt;
  }
  return text.substr(0, at - 1);
}

}  // namespace

void lf_editSubclassProc(EditParameter& setting, ui::Handle /*edit*/) {
  try {
    gf_clearStatusLine();
    if (setting.key == BLOCK_CALLSIGN.key) {
      lf_setBlockCallsign();
    } else if (setting.key == ALL_INSTALL_PATH.key) {
      lf_newSimPath(lf_chosenSimInstallPath(), lf_getTextFromId(ALL_INSTALL_PATH.controlId));
    } else if (setting.key == DESTINATION.key) {
      lf_setDestination();
    }
  } catch (const std::exception& failure) {
    gf_logFlagged(fmt::format("{} exception {}", "lf_editSubclassProc", failure.what()));
    gf_invalidateBand(rcControls);
  }
}

std::string lf_getTextFromId(std::uint16_t controlId) {
  const ui::Handle control = ui::controlById(wndProcHwnd, controlId);
  if (control == ui::noHandle) {
    gf_log(fmt::format("GetDlgItem failed for ID {}", controlId));
    return {};
  }
  std::string text = ui::text(control);
  try {
    utf8_to_wide(text);
  } catch (const std::runtime_error& failure) {
    gf_logFlagged(fmt::format("{} utf16 to utf8 failed for id {}: {}", "lf_getTextFromId", controlId, failure.what()));
    return {};
  }
  return text;
}

void lf_newSimPath(StringParameter& target, const std::string& text) {
  lf_clearErrorAndStatusLine();
  if (text.empty()) {
    if (!target.value.empty()) {
      target.setValue({});
    }
    return;
  }
  const std::filesystem::path path{text};
  if (!std::filesystem::exists(path)) {
    gf_setStatusLine(fmt::format("This install path does not exist: {}", text), true);
    return;
  }
  if (path.stem() != communityFolderName) {
    if (!std::filesystem::exists(path / communityFolderName)) {
      gf_setStatusLine("This path exists but is not a path to Community ...", true);
      return;
    }
    target.setValue(text);
    lf_restartForNewPath();
    return;
  }
  // The first "Community" of the text must be the folder the path ends in; else nothing is stored.
  const auto parent = lf_communityParentText(text);
  if (!parent || !std::filesystem::exists(std::filesystem::path{*parent} / communityFolderName)) {
    throw std::runtime_error("lf_newSimPath");
  }
  target.setValue(*parent);
  lf_restartForNewPath();
}

void lf_restartForNewPath() {
  gf_setStatusLine(fmt::format("Community path found, {} will restart ...", programName), true);
  gf_requestExit(ExitReason::newSettings, newPathRestartDelay);
}

void lf_setBlockCallsign() {
  gf_clearStatusLine();
  const std::string typed = lf_getTextFromId(BLOCK_CALLSIGN.controlId);
  if (typed.empty()) {
    lf_unblockCallsign();
    return;
  }
  if (typed.size() < shortestCallsign || typed.size() > longestCallsign) {
    gf_setStatusLine(fmt::format("callsign '{}' is not valid", typed), true);
  } else if (const std::string callsign = gf_asciiUpper(typed); callsign == BLOCK_CALLSIGN.getValue()) {
    gf_setStatusLine(fmt::format("callsign '{}' was already set ...", callsign), true);
  } else {
    if (callsign == gf_lookedUpCallsign()) {
      gf_resetCallsignToObjectId();
    }
    lf_blockCallsign(callsign);
    return;
  }
  gf_setStringControlText(BLOCK_CALLSIGN);
}

void lf_blockCallsign(const std::string& callsign) {
  BLOCK_CALLSIGN.setValue(callsign);
  gf_setStringControlText(BLOCK_CALLSIGN);
  ui::enable(unblockButton.hwnd, true);
  blockRequested.exchange(true);
}

void lf_unblockCallsign() {
  const std::string blocked = BLOCK_CALLSIGN.getValue();
  if (blocked.empty()) {
    return;
  }
  BLOCK_CALLSIGN.setValue({});
  gf_setStringControlText(BLOCK_CALLSIGN);
  ui::enable(unblockButton.hwnd, false);
  gf_setStatusLine(fmt::format("no more blocking of live aircraft '{}'", blocked), true);
  blockRequested.exchange(true);
}

void lf_setDestination() {
  gf_clearStatusLine();
  const std::string typed = lf_getTextFromId(DESTINATION.controlId);
  if (typed.empty()) {
    // parameters.xml keeps the old value until the run closes down, which empties it anyway.
    DESTINATION.value = std::string{};
    ui::enable(rereadButton.hwnd, true);
    gf_setStatusLine("destination set to empty", true);
    return;
  }
  if (typed.size() != icaoCodeLength) {
    gf_setStatusLine(fmt::format("destination '{}' is not valid", typed), true);
  } else if (const std::string code = gf_asciiUpper(typed); code == DESTINATION.getValue()) {
    gf_setStatusLine(fmt::format("destination '{}' was already set ...", code), true);
  } else if (const Airport* airport = gf_findAirportByCode(code)) {
    lf_setNewDestination(code, airport->lat, airport->lon);
    return;
  } else {
    gf_setStatusLine(fmt::format("destination '{}' is unknown ...", code), true);
  }
  gf_setStringControlText(DESTINATION);
}

void lf_setNewDestination(const std::string& code, double latitude, double longitude) {
  DESTINATION.setValue(code);
  gf_setStringControlText(DESTINATION);
  gf_setStatusLine(fmt::format("New destination: {}", code), true);
  {
    const std::lock_guard lock{pendingDestinationMutex};
    pendingDestination = PendingDestination{code, latitude, longitude};
  }
  ui::enable(rereadButton.hwnd, false);
}

void gf_servePendingDestination() {
  std::optional<PendingDestination> pending;
  {
    const std::lock_guard lock{pendingDestinationMutex};
    pending.swap(pendingDestination);
  }
  if (pending && pending->code == DESTINATION.getValue()) {
    gf_addDestinationParkAirport(pending->code, pending->latitude, pending->longitude);
  }
}

}  // namespace cvl
