#pragma once

#include <deque>
#include <string_view>

#include "engine/static_ac.h"
#include "simlink/create_request.h"

// Taking aircraft out of the simulator.
namespace cvl {

// Starts the removal of a live or static aircraft from the simulator.
void removeAircraftFromSim(StaticAc& aircraft);
// Withdraws the queued creation with this callsign from the backlog; false when there is none.
bool gf_dropPendingCreate(std::deque<CreateRequest>& backlog, std::string_view callsign);

}  // namespace cvl
