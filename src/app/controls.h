#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "foundation/parameters.h"
#include "platform/ui/controls.h"
#include "platform/ui/messages.h"

// The 42 controls of the main window's controls band, each bound to its setting (or, for a push button, its
// ButtonControl), and the helpers that keep them in step with the settings. The controls are created on the UI thread;
// the helpers may be called from any thread.
namespace cvl {

// Set while static parking is being calculated; the parking controls are disabled meanwhile.
extern std::atomic<bool> staticParkingBusy;
// Whether the INITIAL_LOAD_ONLY check box may enable "Now" again: set while the parking controls are enabled.
extern std::atomic<bool> nowButtonAllowed;

// Creates the 42 controls in their creation (tab) order, then repaints the controls band. On the window's creation.
void lf_createControls(ui::Handle parent, const ui::CreateParams* cs);

// One control of each kind; the handle is stored in the setting. Buttons and edit fields start disabled, check boxes
// and combo boxes enabled.
void gf_createButton(ButtonControl& button, ui::Handle parent, const ui::CreateParams* cs, int x, int width);
void gf_createCheckbox(CheckBoxParameter& checkBox, ui::Handle parent, const ui::CreateParams* cs, int x);
void gf_createEdit(EditParameter& edit, ui::Handle parent, const ui::CreateParams* cs, int x, int width,
                   ui::EnterHook subclassProc);

void gf_enableControl(const OptionControl& control);

// Show the setting's value in its control: the text of an edit field; in a combo box the choice equal to the value,
// or none when no choice is.
void gf_setIntControlText(const IntChoiceParameter& setting);
void gf_setStringControlText(const EditParameter& setting);
// Show the setting's value in its check box (checked when true).
void gf_showCheckBox(const CheckBoxParameter& setting);
// Set the value, save it and show it.
void gf_setCheckBox(CheckBoxParameter& setting, bool on);

// Static parking busy and done: the parking group disabled, and enabled again with the countdown at 19 minutes.
void gf_disableParkingControls();
void gf_enableParkingControls();

// Applies AUTO_RANGE: when on, the worker is asked for the automatic range (it owns what that range is chosen from);
// when off, the range chosen by hand comes back. The RANGE combo box is enabled exactly when AUTO_RANGE is off.
void gf_updateRangeControl();

// The user's choice in a combo box (index and text), when wParam of the window's command reports one for this id.
std::optional<std::pair<int, std::string>> lf_getComboSelection(ui::Handle parent, std::uint16_t id, ui::WParam wParam);

// The shared callsign list of CALLSIGN_2_OBJECTID and the setting's value are written by the worker and by the UI
// thread; every change of them, and every read of the list, holds this lock.
std::mutex& gf_callsignListMutex();
// The callsign chosen in CALLSIGN_2_OBJECTID, read under that lock.
std::string gf_lookedUpCallsign();
// Empties the callsign-to-object-id lookup: no text, a list of one empty entry, the combo box and "Block" disabled.
void gf_resetCallsignToObjectId();
// Fills the callsign list from the live aircraft in the simulator (worker thread); true when it holds any.
bool lf_collectLiveCallsigns();

}  // namespace cvl
