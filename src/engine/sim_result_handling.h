#pragma once

#include <cstdint>

#include "engine/live_ac.h"
#include "simlink/sim_results.h"

// What the engine does with the simulator link's reports: matched creations, removed objects, range reports (the
// touchdown of a landing aircraft), static CG replies, refused creations, creations the simulator had no room for.
// Worker thread.
namespace cvl {

// Takes every result posted so far and handles it; then ages the matched creations. A result that cannot be handled
// is logged and skipped; the user error of too many refused liveries is raised after all results were handled.
void gf_handleSimResults();

// Takes over a matched live creation: its object id, flight plan and static CG request. False when the simulator gave
// no usable object id.
bool lf_requestStaticCG(LiveAc& aircraft, const SimResult& result);
// The simulator removed the object: a live aircraft being respawned goes back to the buffer, any other record goes.
void lf_onObjectRemoved(std::uint32_t objectId);

}  // namespace cvl
