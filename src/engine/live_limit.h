#pragma once

#include <cstdint>

#include "engine/live_ac.h"

// The MAX_LIVE_SEL limit of live aircraft in the simulator or being created. At the limit a newcomer takes the place
// of the farthest live aircraft, shown or being created, only when it is markedly nearer to the user (by a fifth of
// its distance), so that aircraft at similar distances from a moving user do not swap places back and forth. An
// aircraft the limit took out must, while its flight keeps asking, lie markedly nearer than the farthest aircraft
// shown, and stays out for two minutes unless it does, also when a place comes free meanwhile: it would only blink
// back to be the next to go. A new limit judges every aircraft anew. Worker thread.
namespace cvl {

struct LiveLimitVerdict {
  bool keptOut = false;
  // The hexid of the live aircraft that is to make room for the newcomer; 0 when a place is free.
  std::uint32_t makesRoom = 0;
};

// Whether the newcomer must stay out, and which live aircraft would make room for it. Changes nothing: a newcomer
// may still be turned away while it is spawned (no livery, no stand to stand on), and must then cost no other
// aircraft its place.
LiveLimitVerdict gf_judgeByLiveLimit(const LiveAc& newcomer);
// A newcomer the limit keeps out while it is reached is traffic waiting for a place (the buffer step tells, for those
// that are not aircraft whose creation was given up).
void gf_noteKeptOutByLiveLimit(const LiveAc& newcomer);
// Whether the limit has kept a newcomer out within the last two minutes, at its present value.
bool gf_trafficWaitsForPlace();
// For the many aircraft that wait for a place and ask once a second: false when, at the first look of this second, the
// limit was reached or traffic waited for a place, and the aircraft lies not markedly nearer to the user than the
// farthest aircraft in the simulator or being created was. Judging it would keep it out; that look costs one distance
// where a judgement measures every aircraft, and a place that came free within the second is found a second later.
bool gf_mayFindPlace(const LiveAc& aircraft);
// Whether the aircraft lies markedly nearer to the user than the farthest aircraft in the simulator or being created
// (or there is none).
bool gf_outranksFarthestLive(const LiveAc& aircraft);
// Whether the aircraft in the simulator or being created fill the limit.
bool gf_liveLimitReached();
// Carries the verdict out for a newcomer now being created: the aircraft it replaces goes, and the newcomer is no
// longer held back.
void gf_admitByLiveLimit(const LiveAc& newcomer, const LiveLimitVerdict& verdict);
// Brings the aircraft in the simulator or being created down to the limit (the user lowered it), the farthest from
// the user first, however far: a creation not yet handed over is withdrawn; one the simulator has is taken out while
// being created, and its object goes as soon as it shows unless the limit admits the aircraft again by then.
void gf_trimToLiveLimit();
// Forgets the aircraft the limit took out and the newcomers it kept out (the reset of the traffic state).
void gf_clearLiveLimitMemory();

}  // namespace cvl
