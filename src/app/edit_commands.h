#pragma once

#include <cstdint>
#include <string>

#include "foundation/parameters.h"
#include "platform/ui/controls.h"

// The commands of the three edit fields of the main window: the simulator's install path, the callsign whose live
// aircraft must not be shown, and the destination airport. Enter runs the field's command, which checks the text,
// stores the setting and tells the outcome on the status line; a rejected callsign or destination gives the field its
// stored value back. UI thread, unless said otherwise.
namespace cvl {

// Enter was pressed in the setting's edit field: clears the status line and runs the field's command (the setting is
// recognised by its key). A failed command is logged; nothing of it is stored.
void lf_editSubclassProc(EditParameter& setting, ui::Handle edit);

// The current text of a control of the main window; empty (and logged) when there is no such control.
std::string lf_getTextFromId(std::uint16_t controlId);

// A typed install path: the folder that holds Community (typed as it or as its Community folder) goes into the target
// setting, and the run restarts. An empty text empties the target without a restart.
void lf_newSimPath(StringParameter& target, const std::string& text);
// Announces the restart for a new install path and asks for it (NEW SETTINGS, 3 seconds) unless a stop is pending.
void lf_restartForNewPath();

// Enter in the BLOCK_CALLSIGN field: 4 to 8 characters, stored in capitals; empty unblocks.
void lf_setBlockCallsign();
// The Block button: blocks the callsign without a message.
void lf_blockCallsign(const std::string& callsign);
// The Unblock button and an empty Enter: ends the blocking, when a callsign is blocked.
void lf_unblockCallsign();

// Enter in the DESTINATION field: a known ICAO code of 4 characters, in capitals; empty clears it in memory only.
void lf_setDestination();
// Stores the destination, shows it and asks the worker to put the airport at the head of the park-airport list. Also
// the start-up's restoring of the destination (worker thread).
void lf_setNewDestination(const std::string& code, double latitude, double longitude);
// Worker thread: puts the destination last set at the head of the park-airport list, unless DESTINATION has changed
// meanwhile.
void gf_servePendingDestination();

}  // namespace cvl
