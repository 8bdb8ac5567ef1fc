#pragma once

#include <cstdint>

#include "engine/live_ac.h"

// Who may take a place under the MAX_LIVE_SEL limit of live aircraft in the simulator or being created. Every path
// that may give an aircraft a place asks gf_decidePlace, whose whole rule is this:
//
// - Below the limit an aircraft takes a free place. At the limit it takes the place of the farthest aircraft that
//   holds one, shown or being created, only where it lies markedly nearer to the user (by a fifth of that one's
//   distance), so that aircraft at similar distances from a moving user do not swap places back and forth; the
//   farthest makes room only once the newcomer is really on its way in.
// - An aircraft that made room for a nearer one must, while its flight keeps asking, lie markedly nearer than the
//   farthest aircraft shown, and stays out for two minutes unless it does, also when a place comes free meanwhile: it
//   would only blink back to be the next to go. Those a lowered limit took out are not held back.
// - A creation taken out while being created holds no place; asking to be taken back in while traffic waits for a
//   place (the limit kept a newcomer out within the last two minutes), it must lie markedly nearer than the farthest
//   aircraft, free place or not: traffic reported now has the better claim.
// - A flight whose model may never load (its last creation was given up, nothing of it has shown since) takes only a
//   free place that no traffic waits for. While places are contested (the limit is reached or traffic waits) it is
//   created on trial instead, without a place, costing no aircraft its own until its object shows: once it has waited
//   after its give-up (a minute after its first, six and a part of a minute after a later one), and where a place is
//   free or it lies markedly nearer than the farthest aircraft. Such a creation that holds a place goes on trial as
//   soon as traffic waits. While places are contested no more go on trial than leave creations of such flights, with
//   a place or on trial, at a third of the limit (one at least); the flight that could go first goes first.
// - An object that shows for a creation that holds no place, or for a flight waiting after a give-up, is a model that
//   loads: its aircraft is judged as any newcomer that holds its object. Where it has a place, the aircraft that makes
//   room leaves at once; where it has none, the object does.
// - A new limit judges every aircraft anew. A lowered one first puts on trial the creations that may never show that
//   hold a place, however near, then takes out the farthest first, however far.
//
// Which flight's creation is under way under a callsign is the creation code's concern, not the limit's. Worker thread.
namespace cvl {

// Who asks for a place, which decides the rules that apply.
enum class PlaceClaim : std::uint8_t {
  // A flight in the buffer step: new, kept out before, back after a refusal for room, or one whose late object was
  // removed.
  newcomer,
  // A flight whose model may never load, waiting in the buffer.
  mayNeverLoad,
  // A creation that holds no place, asking to be taken back in.
  withoutPlace,
  // A creation that holds no place, or a flight waiting after a give-up, whose object has shown.
  objectShown,
};

struct PlaceVerdict {
  enum class Outcome : std::uint8_t { keptOut, freePlace, replaces, onTrial };
  Outcome outcome = Outcome::keptOut;
  // With `replaces`, the hexid of the aircraft that makes room, and whether its object must leave the simulator at
  // once, not at the removal backlog's pace: the object that takes its place is there already.
  std::uint32_t makesRoom = 0;
  bool makesRoomAtOnce = false;

  bool keptOut() const { return outcome == Outcome::keptOut; }
};

// Whether and how the aircraft, where it would be created now, may take a place. Changes nothing: a newcomer may still
// be turned away while it is spawned (no livery, no stand to stand on), and must then cost no other aircraft its place.
// The claims that wait and ask once a second are first held against the look of that second, which costs one distance
// where a judgement measures every aircraft; a place that came free within the second is found a second later.
PlaceVerdict gf_decidePlace(const LiveAc& aircraft, PlaceClaim claim);
// Whether the look of this second keeps out a flight or creation that waits and asks once a second (the claims
// mayNeverLoad and withoutPlace): then gf_decidePlace keeps it out, and what else it would wait for this second is
// not to be looked for.
bool gf_keptOutThisSecond(const LiveAc& aircraft, PlaceClaim claim);
// Carries the verdict out for the aircraft now being created: the aircraft it replaces goes, one on trial holds no
// place, and the aircraft is no longer held back.
void gf_admitToPlace(LiveAc& aircraft, const PlaceVerdict& verdict);
// A newcomer the limit keeps out while it is reached is traffic waiting for a place.
void gf_noteKeptOut(const LiveAc& newcomer);
// Whether the limit has kept a newcomer out within the last two minutes, at its present value.
bool gf_trafficWaitsForPlace();
// Brings the aircraft that hold a place down to the limit (the user lowered it): creations that may never show first,
// which go on trial, then the farthest from the user first, however far: a creation not yet handed over is withdrawn;
// one the simulator has holds no place from then on, and its object goes as soon as it shows unless the limit admits
// the aircraft again by then.
void gf_trimToLiveLimit();
// Forgets the aircraft the limit took out and the newcomers it kept out (the reset of the traffic state).
void gf_clearLiveLimitMemory();

}  // namespace cvl
