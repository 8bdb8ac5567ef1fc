#pragma once

#include "platform/ui/controls.h"
#include "platform/ui/messages.h"

// What the main window's buttons, check boxes and combo boxes do when the user works them.
namespace cvl {

// A command of a control of the main window (wParam: control id and notification). True when it was handled.
bool lf_HandleWMCOMMAND(ui::Handle hwnd, ui::WParam wParam);

}  // namespace cvl
