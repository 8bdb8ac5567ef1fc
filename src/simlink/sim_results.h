#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

// The reports of the SimClient thread to the traffic engine: what became of the creations, removals and requests the
// engine sent. Posted on the SimClient thread, taken by the engine in its tick.
namespace cvl {

enum class SimResultKind : std::uint32_t {
  liveCreated = 0,      // a created live aircraft (hexid above 10000) was recognised; value2: altitude above ground, ft
  staticCreated = 1,    // a created static parked aircraft (hexid 10000 or below) was recognised
  removed = 2,          // an aircraft object was removed from the simulator
  inRange = 3,          // an aircraft in range not new of ours; hexid: its SIM ON GROUND, value1 ground altitude,
                        // value2 altitude above ground (feet)
  staticCg = 4,         // value1: static CG to ground (feet), value2: static pitch (radians)
  blocked = 5,          // the engine's own value; never posted
  createRefused = 6,    // the simulator refused a creation; objectId 0
  createOverLimit = 7,  // the simulator holds as many objects as it can and did not create the aircraft; objectId 0
};

struct SimResult {
  std::uint32_t objectId = 0;
  std::uint32_t hexid = 0;
  std::uint32_t aux = 0;
  SimResultKind kind = SimResultKind::liveCreated;
  double value1 = 0.0;
  double value2 = 0.0;
};

// Object ids below this are the simulator's own (the user aircraft among them).
inline constexpr std::uint32_t firstAiObjectId = 3;

// Guards simResults. When simConnectMutex is needed as well, this one is taken first.
extern std::mutex simResultMutex;
extern std::vector<SimResult> simResults;

// Appends under simResultMutex.
void gf_postSimResult(const SimResult& result);
// Takes every result posted so far, oldest first, under simResultMutex.
std::vector<SimResult> gf_takeSimResults();

}  // namespace cvl
