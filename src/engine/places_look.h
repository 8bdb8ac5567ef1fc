#pragma once

#include <cstddef>
#include <vector>

#include "engine/live_ac.h"

// How the places under the live limit stand at one look: the aircraft that hold a place (in the simulator or being
// created, and not leaving), how many they are, and the farthest of them and of those shown from the user. Finding the
// farthest needs only the order of the distances, which a flat measure around the user gives without trigonometry;
// the farthest ones are then measured on the great circle, as the aircraft judged against them is. Worker thread.
namespace cvl {

// The share of the farthest aircraft's distance from the user by which another must lie nearer to take its place:
// enough that a user and traffic flying their ways do not swap aircraft at similar distances within minutes, and a
// share rather than miles, so that at an airport an aircraft at the next stand still replaces one across the field.
inline constexpr double swapShare = 0.2;

struct PlacesLook {
  std::size_t holders = 0;
  // The farthest aircraft that holds a place and its distance; nullptr with none.
  LiveAc* farthestHolder = nullptr;
  double farthestHolderNm = 0.0;
  // The farthest aircraft shown; 0 with none.
  double farthestShownNm = 0.0;
  bool anyShown = false;
};

// In the simulator or on its way in, and neither leaving nor held back without a place.
bool gf_holdsPlace(const LiveAc& aircraft);
PlacesLook gf_lookAtPlaces();
// The holders of a place, the farthest first.
std::vector<LiveAc*> gf_holdersFarthestFirst();
// Whether the aircraft, where it would be created now, lies markedly nearer to the user than the distance: the one
// measure of every judgement at the limit.
bool gf_markedlyNearer(const LiveAc& aircraft, double farthestNm);

}  // namespace cvl
