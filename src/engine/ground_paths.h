#pragma once

#include <cstdint>

#include "engine/live_ac.h"

// How the engine moves a live aircraft between two reported positions. The stream's front entry is the current one
// and the entry after it the next one, the position the aircraft is flying or taxiing to. When the next entry falls
// due the stream step sets the per-tick increments towards it and schedules when it is reached; the integrator then
// moves the aircraft once per tick. Worker thread.
namespace cvl {

// A travel time below this many ticks counts as this many.
inline constexpr std::int32_t minTravelTicks = 25;

// The stream step: steps towards the next entry, its due tick, the ground or air controls; drops the current entry.
// The stream must hold two entries.
void lf_stepStream(LiveAc& aircraft);
// One tick of motion: along the curve or by the steps, then attitude and altitude.
void lf_followCurve(LiveAc& aircraft);
// One tick of a standing aircraft. A drive onto a stand may end before the turn to the stand heading does: parked at
// its stand, the aircraft turns on the spot towards the stand heading at its category's turn rate.
void lf_turnOnStand(LiveAc& aircraft);

// round(distance / speed in hours x 360000): the ticks to cover nm at kt; a speed of 0 or less counts as 1 kt.
std::int32_t lf_travelTicks(double distanceNm, double speedKt);
// The speed (kt) at which the aircraft goes from the current to the next entry.
double lf_pairSpeed(const LiveAc& aircraft);
// The heading change (radians, -pi to pi) from the current heading to the leg after the next entry; 0 when the stream
// holds fewer than 3 entries.
double lf_turnAhead(const LiveAc& aircraft);
// Inserts the mean of the current and the next entry after the current one.
void lf_insertMidpoint(LiveAc& aircraft);
// Inserts a midpoint when the speed changes by more than 5 kt over a leg of at least 100 m.
void lf_smoothSpeed(LiveAc& aircraft);

// Due-tick scheduling of the next entry.
void lf_scheduleGround(LiveAc& aircraft);
void lf_scheduleAir(LiveAc& aircraft);
// The next entry falls due `ticks` from now, kept within dueBehind/dueAhead of its reported due tick unless positions
// are being made up, and never before now.
void lf_setNextDue(LiveAc& aircraft, std::int32_t ticks);
// dueBehind and dueAhead each drop by 100 towards 1000.
void lf_narrowDueWindow(LiveAc& aircraft);

// Angles: any value into 0..2 pi, and into -pi..pi.
double lf_normalizedHeading(double radians);
double lf_wrappedAngle(double radians);

}  // namespace cvl
