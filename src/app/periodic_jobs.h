#pragma once

#include <atomic>
#include <cstdint>

#include "foundation/geometry.h"

// The work the tick does once per simulator second and on its 15-second beats: what the user asked for through the
// buttons, the status line's time-out, the live count, the checks of new live aircraft, collision avoidance around
// the user, the two-phase static-parking update, the automatic traffic radius and the periodic reports. Worker thread.
namespace cvl {

// Seconds since the run loop started; back to 0 every day.
extern std::atomic<std::int32_t> tickSeconds;

// Requests of the user, set by the UI thread and taken here by exchange.
extern std::atomic<bool> csOidRequested;
extern std::atomic<bool> flushStaticRequested;
extern std::atomic<bool> callsignListRefreshRequested;
extern std::atomic<bool> blockRequested;
extern std::atomic<bool> reReadRequested;
// AUTO_RANGE was switched on: the automatic radius is due. It reads the park-airport list, which the worker rebuilds.
extern std::atomic<bool> autoRangeRequested;
// A static-parking update was announced; the next 15-second beat performs its first phase.
extern std::atomic<bool> staticUpdateRequested;
// The first phase of the static-parking update has run; the second is due at the next 15-second beat. The tick skips
// its 16-second static-parking job meanwhile.
extern std::atomic<bool> staticUpdatePhase2;
// Minutes to the next automatic static-parking update.
extern std::atomic<std::int32_t> parkingUpdateCountdown;
// Where the user was when the static aircraft were last checked for a collision with it.
extern LatLon lastStaticCheckPosition;

// Once per simulator second while the flight runs.
void lf_perSecond();
// On every 15-second beat; n is tickSeconds, a multiple of 15.
void lf_periodicJobs(std::int32_t n);
// Performs a Re-read request unless the static parking is busy (then it waits).
void lf_doPendingReRead();
// Chooses the traffic radius from the user's situation (AUTO_RANGE on).
void lf_autoRange();
// The radius (nm) lf_autoRange chooses for a user on or above the ground at this altitude (ft) and this distance
// (nm) from the first park airport.
std::int32_t lf_autoRangeFor(bool onGround, double altitude, double airportDistance);

// Puts the requests and the state of these jobs back to their start values (the reset before a restart).
void gf_resetPeriodicJobs();

}  // namespace cvl
