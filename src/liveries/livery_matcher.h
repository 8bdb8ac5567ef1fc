#pragma once

#include <array>
#include <cstdint>

#include "engine/ac_identity.h"
#include "liveries/livery_lookups.h"

// Choosing the livery of a live aircraft that is about to be created, from the most specific match (its own
// registration) to the most general (any livery of a similar model), as deep as MATCHING_DEPTH allows. Worker thread.
namespace cvl {

// The accepted matches of the run's live aircraft, by step; for the matching summary.
extern std::array<std::int32_t, matchStepCount> MatchStepCounters;

// Sets the aircraft's livery title, or leaves it empty when nothing matches. Called only for an aircraft without a
// title. A match is counted, logged, and marks a title of an FSLTL package.
void gf_matchLivery(AcIdentity& aircraft);

}  // namespace cvl
