#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/live_ac.h"

// The live aircraft parked at stands, as the limit on parked aircraft and the parking adjustments see them.
// Worker thread.
namespace cvl {

struct LiveParked {
  std::string callsign;
  std::string stand;
  std::int64_t minutes = 0;
};

// Rebuilt by gf_listLiveParked, fewest minutes first.
extern std::vector<LiveParked> liveParkedList;

// Keeps live plus static parked aircraft within the wanted number of static aircraft by removing static ones; oneMore
// counts an aircraft about to park. Live aircraft driving onto their stands and aircraft being created count; a static
// aircraft being created gives way before one already in the simulator. Live aircraft are never removed for it.
void lf_checkMaxPark(bool oneMore);
// Whether the live aircraft parked or driving onto their stands, with those being created, fill the wanted number of
// static aircraft, so that one more may not park (never with INITIAL_LOAD_ONLY).
bool gf_liveParkedFull();
// Whether the aircraft parked, being created at a stand or driving onto one, live and static, fill the wanted number,
// so that no further static aircraft may be made.
bool gf_parkedPlacesFull();
// An aircraft takes its parked place from the start of its creation on, and gives it up once its removal is under
// way.
bool gf_holdsParkedPlace(const StaticAc& aircraft);
// The live aircraft that take a parked place: parked at their stands or driving onto them, in the simulator or being
// created, and not on their way out.
std::size_t gf_liveParkedPlaces();
// Lists the parked active live aircraft with their minutes parked; removes those parked too long instead.
void gf_listLiveParked();
// A live aircraft driving onto its stand, standing on it or pushing back from it holds the stand: no static aircraft
// is put on it or next to it, and no static aircraft is made of its flight.
bool gf_holdsStand(const LiveAc& aircraft);

}  // namespace cvl
