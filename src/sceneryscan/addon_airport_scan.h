#pragma once

// The scan of the installed add-on airports. It runs its tasks on hardwareThreads parallel slots and counts the busy
// ones in scanSlotsInUse (app/worker_thread.h).
namespace cvl {

// Worker thread, at start-up while SCAN_AIRPORTS is on; returns early when a stop has been requested.
void gf_scanAddonAirports();

}  // namespace cvl
