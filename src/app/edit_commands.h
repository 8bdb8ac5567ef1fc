#pragma once

#include "foundation/parameters.h"
#include "platform/ui/controls.h"

// The commands of the three edit fields of the main window (install path, blocked callsign, destination).
namespace cvl {

// Enter was pressed in the setting's edit field: runs the field's command. UI thread.
void lf_editSubclassProc(EditParameter& setting, ui::Handle edit);

}  // namespace cvl
