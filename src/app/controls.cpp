#include "app/controls.h"

#include <fmt/format.h>

#include <algorithm>
#include <stdexcept>
#include <variant>
#include <vector>

#include "app/edit_commands.h"
#include "app/main_window.h"
#include "app/periodic_jobs.h"
#include "app/status_line.h"
#include "engine/live_aircraft.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_file.h"
#include "foundation/settings_upgrade.h"
#include "foundation/text_encoding.h"

namespace cvl {
namespace {

// A closed combo box; the open list is as high as its row says.
constexpr int comboHeight = 22;
constexpr int editHeight = 16;
constexpr int checkBoxSize = 12;
constexpr int buttonHeight = 20;
constexpr std::int32_t countdownAfterParking = 19;

struct Combo {
  OptionControl& setting;
  int x;
  int width;
  int listHeight;
};
struct Edit {
  EditParameter& setting;
  int x;
  int width;
};
struct Check {
  CheckBoxParameter& setting;
  int x;
};
struct Button {
  ButtonControl& button;
  int x;
  int width;
};
using ControlRow = std::variant<Combo, Edit, Check, Button>;

// The controls in their order of creation, which is also their tab order.
const std::vector<ControlRow>& controlRows() {
  static const std::vector<ControlRow> rows{
      Combo{SIM_CHOICE, 5, 105, 80},
      Edit{ALL_INSTALL_PATH, 111, 1200},  // runs past the window's right edge, which clips it
      Check{SCAN_LIVERIES, 5},
      Check{LIG_AUTOMATIC, 217},
      Combo{AI_PACKAGE_SELECTOR, 323, 175, 300},
      Check{LIG_PRIORITIZE, 536},
      Check{ALWAYS_ON_TOP, 748},
      Check{SCAN_AIRPORTS, 5},
      Button{tbloButton, 217, 60},
      Check{NAV_LIGHTS_WHILE_PARKED, 748},
      Combo{MATCHING_DEPTH, 217, 40, 120},
      Check{LIGHT_AIRCRAFT, 323},
      Check{HELICOPTERS, 430},
      Check{HIGH_PERF_AIRCRAFT, 536},
      Check{AEROWINX, 652},
      Check{GUID_CHANGES, 748},
      Combo{RANGE, 217, 50, 200},
      Check{AUTO_RANGE, 323},
      Combo{AR_ABOVE_HEIGHT, 455, 70, 230},
      Check{AIRBORNE_ONLY, 572},
      Check{COLLISION_USER_GND, 217},
      Check{COLLISION_USER_AIR, 323},
      Check{COLLISION_LIVE_PARKED_GND, 430},
      Edit{BLOCK_CALLSIGN, 107, 100},
      Button{unblockButton, 223, 60},
      Button{csOidButton, 305, 60},
      Combo{CALLSIGN_2_OBJECTID, 375, 100, 300},
      Button{blockButton, 576, 60},
      Button{nowButton, 111, 45},
      Combo{MAX_PARK_SEL, 323, 55, 144},
      Combo{MAX_LIVE_SEL, 536, 55, 144},
      Edit{DESTINATION, 217, 50},
      Combo{AIRP_RANGE, 353, 45, 144},
      Combo{AIRP_HEIGHT, 566, 70, 230},
      Check{STRAIGHT_PBS_ONLY, 652},
      Check{INITIAL_LOAD_ONLY, 5},
      Check{WEEK, 71},
      Check{PARK_SOFT, 151},
      Combo{parking_percentage, 323, 50, 200},
      Combo{MAX_FIT_FL, 566, 60, 300},
      Button{rereadButton, 758, 90},
      Button{flushStaticButton, 758, 90},
  };
  return rows;
}

template <typename... Kinds>
struct Overloaded : Kinds... {
  using Kinds::operator()...;
};
template <typename... Kinds>
Overloaded(Kinds...) -> Overloaded<Kinds...>;

int rowOf(const OptionControl& control) {
  return static_cast<int>(control.rowY);
}

void lf_createCombo(OptionControl& combo, ui::Handle parent, int x, int width, int listHeight) {
  const int top = rowOf(combo) - 5;
  combo.hwnd = ui::createControl(parent, ui::ControlSpec{ui::ControlKind::comboBox,
                                                         combo.controlId,
                                                         ui::Rect{x, top, x + width, top + comboHeight},
                                                         "",
                                                         true,
                                                         listHeight,
                                                         {}});
}

// The control of the setting, logging the miss when it does not exist (yet).
ui::Handle lf_findControl(const OptionControl& control) {
  const ui::Handle handle = control.hwnd;
  if (!ui::isWindow(handle)) {
    gf_log(fmt::format("GetDlgItem failed for ID {}", control.controlId));
    return ui::noHandle;
  }
  return handle;
}

void lf_enable(const OptionControl& control, bool enabled) {
  ui::enable(control.hwnd, enabled);
}

// A combo box shows the choice equal to the text or, when no choice is, nothing: never a choice that merely begins
// with the text, which would show a different value than the one stored.
void lf_showControlText(const OptionControl& control, const std::string& text, bool isCombo) {
  try {
    utf8_to_wide(text);
  } catch (const std::runtime_error& failure) {
    gf_log(fmt::format("utf8_to_wide failed for '{}': {}", text, failure.what()));
    return;
  }
  const ui::Handle handle = lf_findControl(control);
  if (handle == ui::noHandle) {
    return;
  }
  ui::setText(handle, text);
  if (isCombo) {
    const auto items = ui::comboItems(handle);
    const auto found = std::find(items.begin(), items.end(), text);
    ui::comboSelectIndex(handle, found == items.end() ? -1 : static_cast<int>(found - items.begin()));
  }
  gf_invalidateBand(rcControls);
}

// The parking group: its combo boxes, check boxes and buttons; "Now" only while INITIAL_LOAD_ONLY is off.
void lf_enableParkingGroup(bool enabled) {
  for (const OptionControl* control :
       std::initializer_list<const OptionControl*>{&parking_percentage, &MAX_FIT_FL, &MAX_PARK_SEL, &MAX_LIVE_SEL,
                                                   &WEEK, &PARK_SOFT, &flushStaticButton, &rereadButton}) {
    lf_enable(*control, enabled);
  }
  if (!INITIAL_LOAD_ONLY.value) {
    lf_enable(nowButton, enabled);
  }
}

// Under gf_callsignListMutex: the list, the value and the combo box that shows them.
void lf_setCallsignsLocked(std::vector<std::string> callsigns, std::string value) {
  *callsignChoices = std::move(callsigns);
  CALLSIGN_2_OBJECTID.value = std::move(value);
  gf_fillCallsign2ObjectIdCombo();
}

}  // namespace

std::atomic<bool> staticParkingBusy{false};
std::atomic<bool> nowButtonAllowed{false};

void lf_createControls(ui::Handle parent, const ui::CreateParams* cs) {
  for (const auto& row : controlRows()) {
    std::visit(
        Overloaded{
            [&](const Combo& combo) { lf_createCombo(combo.setting, parent, combo.x, combo.width, combo.listHeight); },
            [&](const Edit& edit) {
              gf_createEdit(edit.setting, parent, cs, edit.x, edit.width,
                            [&setting = edit.setting](ui::Handle field) { lf_editSubclassProc(setting, field); });
            },
            [&](const Check& check) { gf_createCheckbox(check.setting, parent, cs, check.x); },
            [&](const Button& button) { gf_createButton(button.button, parent, cs, button.x, button.width); },
        },
        row);
  }
  ui::invalidate(parent, rcControls, true);
}

void gf_createButton(ButtonControl& button, ui::Handle parent, const ui::CreateParams* /*cs*/, int x, int width) {
  const int top = rowOf(button);
  button.hwnd = ui::createControl(parent, ui::ControlSpec{ui::ControlKind::pushButton,
                                                          button.controlId,
                                                          ui::Rect{x, top, x + width, top + buttonHeight},
                                                          button.key,
                                                          false,
                                                          0,
                                                          {}});
}

void gf_createCheckbox(CheckBoxParameter& checkBox, ui::Handle parent, const ui::CreateParams* /*cs*/, int x) {
  const int top = rowOf(checkBox) + 2;
  checkBox.hwnd = ui::createControl(parent, ui::ControlSpec{ui::ControlKind::checkBox,
                                                            checkBox.controlId,
                                                            ui::Rect{x, top, x + checkBoxSize, top + checkBoxSize},
                                                            "",
                                                            true,
                                                            0,
                                                            {}});
  ui::setChecked(checkBox.hwnd, checkBox.value);
}

void gf_createEdit(EditParameter& edit, ui::Handle parent, const ui::CreateParams* /*cs*/, int x, int width,
                   ui::EnterHook subclassProc) {
  const int top = rowOf(edit);
  edit.hwnd = ui::createControl(
      parent, ui::ControlSpec{ui::ControlKind::edit, edit.controlId, ui::Rect{x, top, x + width, top + editHeight}, "",
                              false, 0, std::move(subclassProc)});
}

void gf_enableControl(const OptionControl& control) {
  lf_enable(control, true);
}

void gf_setIntControlText(const IntChoiceParameter& setting) {
  lf_showControlText(setting, fmt::format("{}", setting.value.load()), true);
}

void gf_setStringControlText(const EditParameter& setting) {
  const bool isCombo = dynamic_cast<const StringChoiceParameter*>(&setting) != nullptr ||
                       dynamic_cast<const SharedChoiceParameter*>(&setting) != nullptr;
  lf_showControlText(setting, setting.getValue(), isCombo);
}

void gf_showCheckBox(const CheckBoxParameter& setting) {
  ui::setChecked(setting.hwnd, setting.value);
}

void gf_setCheckBox(CheckBoxParameter& setting, bool on) {
  setting.value = on;
  gf_saveBoolParameter(setting);
  gf_showCheckBox(setting);
}

void gf_disableParkingControls() {
  staticParkingBusy = true;
  lf_enableParkingGroup(false);
  nowButtonAllowed = false;
  gf_invalidateBand(rcControls);
}

void gf_enableParkingControls() {
  staticParkingBusy = false;
  mainWindow.minutesToParkingUpdate = countdownAfterParking;
  gf_invalidateBand(rcControls);
  lf_enableParkingGroup(true);
  nowButtonAllowed = true;
  gf_invalidateBand(rcControls);
}

void gf_updateRangeControl() {
  static std::atomic<std::int32_t> manualRange{RANGE.defaultValue};
  if (AUTO_RANGE.value) {
    manualRange = RANGE.value.load();
    autoRangeRequested = true;
  } else {
    gf_setRange(manualRange);
    gf_clearStatusLine();
  }
  lf_enable(RANGE, !AUTO_RANGE.value);
}

std::optional<std::pair<int, std::string>> lf_getComboSelection(ui::Handle parent, std::uint16_t id,
                                                                ui::WParam wParam) {
  if (ui::loWord(wParam) != id || ui::hiWord(wParam) != ui::notifySelectionChanged) {
    return std::nullopt;
  }
  const ui::Handle combo = ui::controlById(parent, id);
  if (combo == ui::noHandle) {
    return std::nullopt;
  }
  const int index = ui::comboSelectedIndex(combo);
  const auto items = ui::comboItems(combo);
  if (index < 0 || index >= static_cast<int>(items.size())) {
    return std::nullopt;
  }
  return std::pair{index, items[static_cast<std::size_t>(index)]};
}

std::mutex& gf_callsignListMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string gf_lookedUpCallsign() {
  const std::lock_guard lock{gf_callsignListMutex()};
  return CALLSIGN_2_OBJECTID.getValue();
}

void gf_resetCallsignToObjectId() {
  mainWindow.csOidText = std::string{};
  gf_invalidateBand(rcControls);
  {
    const std::lock_guard lock{gf_callsignListMutex()};
    lf_setCallsignsLocked({std::string{}}, std::string{});
  }
  lf_enable(CALLSIGN_2_OBJECTID, false);
  lf_enable(blockButton, false);
}

bool lf_collectLiveCallsigns() {
  std::vector<std::string> callsigns;
  for (const auto& aircraft : liveAcs) {
    if (aircraft.state == AcState::active && aircraft.phase != AcPhase::parked) {
      callsigns.push_back(aircraft.callsign);
    }
  }
  std::sort(callsigns.begin(), callsigns.end());
  const bool any = !callsigns.empty();
  {
    const std::lock_guard lock{gf_callsignListMutex()};
    std::string first = any ? callsigns.front() : std::string{};
    lf_setCallsignsLocked(std::move(callsigns), std::move(first));
  }
  lf_enable(CALLSIGN_2_OBJECTID, any);
  lf_enable(blockButton, any && !ui::isEnabled(unblockButton.hwnd));
  return any;
}

}  // namespace cvl
