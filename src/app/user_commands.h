#pragma once

#include <atomic>
#include <cstdint>

#include "platform/ui/controls.h"
#include "platform/ui/messages.h"

// What the main window's buttons, check boxes and combo boxes do when the user works them, on the UI thread. A command
// changes a setting at once (and saves it), shows a notice, asks for a restart of the run cycle, or sets a request
// that the worker serves: the aircraft lists and the simulator's send queue belong to the worker thread.
namespace cvl {

// A command of a control of the main window (wParam: control id and notification). True when it was handled; an
// unhandled or failed command repaints the controls band (a failure is logged).
bool lf_HandleWMCOMMAND(ui::Handle hwnd, ui::WParam wParam);

// The push buttons; false when the id is none of theirs (or the tblo archive could not be opened).
bool lf_handleButtonCommand(ui::Handle hwnd, std::uint16_t id);
// The check boxes: each click toggles the box and saves its setting; false when the id is none of theirs.
bool lf_handleOptionCommand(ui::Handle hwnd, std::uint16_t id);
// A user's choice in a combo box; false for any other id or notification.
bool lf_handleComboCommand(ui::Handle hwnd, ui::WParam wParam);

// After SIM_CHOICE changed: the liveries and add-on airports are scanned again for the other simulator, its install
// path is taken at the next start-up, and the run restarts (NEW SETTINGS, 3 seconds) unless a stop is pending.
void lf_switchSimulator();

// NAV_LIGHTS_WHILE_PARKED changed: the parked aircraft's nav lights are to follow it.
extern std::atomic<bool> navLightsRequested;

// Worker thread, once a second: serves what the commands left to it (the nav lights of the parked aircraft, the
// destination's place in the park-airport list).
void gf_serveUserCommandRequests();

}  // namespace cvl
