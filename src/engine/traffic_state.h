#pragma once

#include <cstdint>
#include <vector>

// The traffic engine's per-run state: made ready when a run starts, put back when a run ends.
namespace cvl {

// Reserves room in the engine's containers, so that the records do not move during normal traffic (512 live
// aircraft). Emptying is the reset's job.
void gf_initTrafficContainers();
// Puts the engine, user and airport state back to its start values and repaints (the reset before a restart).
void gf_resetTrafficState();
// Empties the engine's day map (the 24-hour job and closing down).
void gf_clearDayMap();
// Empties the list of texts that closing down shares with the engine.
void gf_clearSharedTexts();

// How long an active live aircraft has stood at its stand.
struct ParkedSeconds {
  std::uint32_t hexid = 0;
  std::int64_t seconds = 0;
};

// Every active live aircraft in phase parked with its seconds parked, longest parked first.
void lf_collectParkedSeconds(std::vector<ParkedSeconds>& parked);

}  // namespace cvl
