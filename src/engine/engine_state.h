#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "foundation/geometry.h"
#include "simlink/sim_results.h"
#include "simlink/user_ac_data.h"

// The traffic engine's working containers beside the aircraft lists and the creation backlogs. All of them belong to
// the worker thread.
namespace cvl {

// Hexids up to this one belong to static parked aircraft, above it to live aircraft.
inline constexpr std::uint32_t maxStaticHexid = 10000;

// Hexids of spawned live aircraft waiting for their creation request; the last one pushed is served first.
extern std::vector<std::uint32_t> addingStack;
// Object ids waiting to be handed to the simulator's removal queue, one every 10 ticks.
extern std::deque<std::uint32_t> removalBacklog;
// Matched creations waiting to become active. Their aux word counts the ticks since the match; activeAge marks an
// entry whose aircraft became active.
extern std::vector<SimResult> createdObjects;
inline constexpr std::uint32_t activeAge = 0xFFFFFFFF;
// Hexids of live aircraft whose same-registration and same-callsign check is still due; the per-second job takes the
// first one each second.
extern std::deque<std::uint32_t> sameRegCheckQueue;
// Object id of the aircraft chosen in the main window's callsign-to-object-id control; 0 = none.
extern std::uint32_t selectedObjectId;
// The user aircraft's data as the engine last asked for it (every 100 ticks): the centre of the traffic range and of
// the conflict rules.
extern UserAcData engineUserPosition;

inline LatLon gf_engineUserLatLon() {
  return {engineUserPosition.latitude, engineUserPosition.longitude};
}
// Whether the engine's user position has been filled (a position exactly at 0,0 counts as not known).
bool gf_engineUserPositionKnown();
// Whether the point lies at the edge of the range or beyond, half a nautical mile inside RANGE from the engine's user
// position: the simulator's range scan may no longer find an aircraft there. False while the user position is not
// known.
bool gf_atRangeEdge(const LatLon& point);

}  // namespace cvl
