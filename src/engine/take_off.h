#pragma once

#include <cstdint>

#include "engine/live_ac.h"

// The take-off of a live aircraft: the roll, the start of the take-off once the reports show it lifting off, and its
// rotation and climb tick by tick until it flies. Worker thread.
namespace cvl {

// Begins the take-off roll with these throttle and spoilers levels: take-off lights and flaps, and the stream may run
// ahead of the reports while the aircraft accelerates.
void lf_beginTakeOffRoll(LiveAc& aircraft, std::uint32_t throttle, std::uint32_t spoilers);
// The take-off roll from taxiing: throttle and spoilers at 0.
void lf_towedTakeOff(LiveAc& aircraft);
// Starts the take-off (phase take_off): the nose comes up over the category's roll ticks. An aircraft taking off again
// from its landing roll-out goes around at full throttle.
void lf_startTakeOff(LiveAc& aircraft);
// Every stream entry after the current one is at or above the category's rotation speed.
bool lf_allAtRotationSpeed(const LiveAc& aircraft);
// At a new stream position in the take-off roll, from 43 kt on: starts the take-off once the reports ahead climb
// (`ticks` to the next entry sets the first climb rate).
void lf_checkTakeOffStart(LiveAc& aircraft, std::int32_t ticks);
// One tick of phase take_off: rotation, lift-off, gear up and the climb until the aircraft flies 800 ft above ground.
void lf_takeOffTick(LiveAc& aircraft);

}  // namespace cvl
