#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/live_ac.h"
#include "parking/park_pos.h"

// Who may stand where: a live aircraft that wants a stand and the aircraft already on it or on a neighbouring stand.
// Two aircraft on neighbouring stands collide when the stands lie at most (both half spans of their types) x 1.1
// apart. Worker thread.
namespace cvl {

// Whether the aircraft with this callsign may take the stand; may remove the live aircraft standing there.
bool lf_standWanted(std::uint32_t sid, std::string_view callsign);
// Removes the parked active live aircraft on that stand, to make room for the newcomer.
void lf_removeOccupant(std::uint32_t sid, LiveAc& newcomer);
// Removes the live aircraft on the neighbouring stand when it would collide with the newcomer on the stand.
void lf_removeAdjacentColliding(std::uint32_t neighbourSid, LiveAc& newcomer, ParkPos& stand);
// The first neighbour whose live occupant would collide with the newcomer on the stand; neighbours.end() when none.
std::vector<std::uint32_t>::const_iterator lf_findCollidingNeighbour(const std::vector<std::uint32_t>& neighbours,
                                                                     const ParkPos& stand, const LiveAc& newcomer);
// Clears the stand of static aircraft for the newcomer, and its neighbours of static aircraft that would collide.
void lf_makeWay(LiveAc& newcomer, ParkPos& stand);
// Removes the static aircraft on the neighbouring stand that would collide with the newcomer on the stand.
void lf_makeWayExcludedStand(LiveAc& newcomer, std::uint32_t neighbourSid, ParkPos& stand);

}  // namespace cvl
