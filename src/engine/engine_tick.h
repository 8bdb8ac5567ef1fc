#pragma once

// The traffic engine's step: one call per 10-ms tick while the simulator's flight runs. It takes what the simulator
// reported, moves every live aircraft, hands removals and creations to the simulator at a steady pace, applies new
// traffic items, prepares one creation and asks for the aircraft in range. Worker thread.
namespace cvl {

// The tick.
void lf_handleAddingStack();

// Updates every live aircraft, erases the removed ones and hands this tick's positions to the simulator link.
void lf_updateAllLiveAc();
// One removal every 10 ticks; one creation every 50 ticks, live before static, and on a beat without a live creation
// the static parking prepares its next aircraft.
void lf_feedSimQueues();
// The aircraft-in-range request every 20 ticks; the user aircraft's position every 100 ticks.
void lf_requestAcWithinRange();

// Asks the worker to bring the live aircraft down to the MAX_LIVE_SEL limit (any thread); the next tick removes the
// farthest ones.
void gf_requestLiveLimit();

}  // namespace cvl
