#pragma once

// The traffic engine's per-run state as the run cycle's end touches it.
namespace cvl {

// Puts the engine, user and airport state back to its start values and repaints (the reset before a restart).
void gf_resetTrafficState();
// Empties the engine's day map (the 24-hour job and closing down).
void gf_clearDayMap();
// Empties the list of texts that closing down shares with the engine.
void gf_clearSharedTexts();

}  // namespace cvl
