#pragma once

#include <cstdint>

#include "engine/live_ac.h"

// What the stream step sets when an aircraft reaches a new stream position, after the latitude and longitude steps
// towards the next entry are set: on the ground throttle, flaps, spoilers and lights of the taxi, the take-off roll
// and the landing roll-out, and the take-off trigger; in the air the climb and descent rates, pitch, bank and turn
// rates and the configurations of climb, cruise and approach. Worker thread.
namespace cvl {

void lf_groundControls(LiveAc& aircraft);
void lf_airControls(LiveAc& aircraft);

// The climb per tick from the ground towards an airborne next entry, at most the aircraft's climb step.
void lf_climbStep(LiveAc& aircraft);
// Skips the entries up to the first airborne one: when entry i - 1 (the current one being 0) is airborne the i - 2
// entries before it go, its due tick is rescheduled and the climb step set. False when the stream is too short or
// that entry is on the ground.
bool lf_skipToAirborne(LiveAc& aircraft, std::int32_t i);
// Banks into a turn (radians) spread over the ticks, within the category's bank and bank change.
void lf_bankFromTurn(LiveAc& aircraft, double turn, std::int32_t ticks);

}  // namespace cvl
