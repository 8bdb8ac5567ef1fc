#pragma once

#include <atomic>

#include "foundation/parameters.h"

// The start-up of every run cycle, on the worker thread: the settings, the controls' working state, the program's
// folders, the version check, the reference data (once per process), the simulator's install path and whether
// RealTraffic is installed on this computer. Failures are exceptions, which the worker shows on the error line.
namespace cvl {

// RealTraffic is installed on this computer; set by every start-up.
extern std::atomic<bool> realTrafficDetected;
// The aircraft database has been read; it is read once per process.
extern bool dataFilesLoaded;

void lf_startUp();
// Enables the controls and selects the combo boxes' entries from their settings.
void lf_enableControls();
// An install path that ends in the Community folder ("\Community" or "/Community") loses that last folder, and the
// setting is saved; any other value is left alone and not saved.
void lf_stripCommunitySuffix(StringParameter& installPath);
// Removes what a killed update left behind, creates the program's folders that are missing, gives back the airport
// files a killed scan set aside and removes old generations of the AIG registration file. Throws the filesystem's
// error ("status", "create_directories", "exists", "remove", and those of the give-back).
void lf_prepareFolders();
// In production mode: ends the program after the start-up (exit reason USER CLOSED SIM, exit code 0).
void lf_productionEnd();

}  // namespace cvl
