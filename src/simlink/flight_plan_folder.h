#pragma once

// The scratch folder "orig_dest" in the program's application-data folder, where the flight plans of the live AI
// aircraft are written. It exists from the start-up of a run cycle until the program closes.
namespace cvl {

// Sets flightPlanFolder and creates it (and the application-data folder) when missing; true when it exists then.
// Throws the filesystem's "exists" error when a folder's status cannot be read.
bool gf_createFlightPlanFolder();
// Removes the folder with everything in it; a failure is logged. True when the folder is gone.
bool gf_removeFlightPlanFolder();

}  // namespace cvl
