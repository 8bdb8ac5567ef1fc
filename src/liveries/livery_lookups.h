#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/ac_identity.h"
#include "liveries/livery_tables.h"

// The look-ups that both livery matchers (live and static aircraft) build on. Each sets the aircraft's livery title
// and returns true when it found one; without a find the title is left as it was. Titles the simulator refused to
// create are never picked. Worker thread.
namespace cvl {

// The kinds of match, from the most specific to the most general. The number is the step shown in the log.
enum class MatchStep : std::uint32_t {
  uniqueRegcode = 0,        // the registration of a special livery that lists only it
  regcode = 1,              // the registration
  airlineModel = 2,         // the airline (or the registration's airline) and the model
  airlineSimilarModel = 3,  // the airline and a similar model
  genericModel = 4,         // the generic airline and the model
  model = 5,                // the model of any airline
  similarModel = 6,         // a similar model of any airline
};
inline constexpr std::size_t matchStepCount = 7;

constexpr std::size_t gf_stepIndex(MatchStep step) {
  return static_cast<std::size_t>(step);
}

// The title mapped to the aircraft's registration.
bool lf_titleByRegcode(AcIdentity& aircraft);
// The step of a registration match: unique or plain.
MatchStep lf_regcodeStep(const AcIdentity& aircraft);

// A title of the airline and model from the passenger or the cargo table.
bool lf_titleByAirlineModel(AcIdentity& aircraft, const std::string& airline, const std::string& model,
                            std::size_t table);
// The cargo table first for a cargo aircraft (then the passenger table); the passenger table alone otherwise.
bool lf_titleByAirlineModelCargoFirst(AcIdentity& aircraft, const std::string& airline, const std::string& model);
// A title of the model of any airline, from the cargo table for a cargo aircraft, else the passenger table.
bool lf_titleByModel(AcIdentity& aircraft, const std::string& model);

// One of the candidates, at random while RANDOM is on, else the first; a special title only when every usable
// candidate is special. False when no candidate is usable.
bool lf_pickRandomTitle(AcIdentity& aircraft, const TitleViews& candidates);

// The last, general steps at MATCHING_DEPTH 3 and 4 for an aircraft without a title: the generic airline's livery of
// the model, and for the small categories a livery of the model or of a similar model of any airline. The step of
// the title found; no value when none.
std::optional<MatchStep> lf_matchFallbacks(AcIdentity& aircraft, std::int32_t depth);

// Accepts the title just found unless the simulator refused it before (then the title is cleared), and logs the
// match with its step.
bool lf_acceptTitle(AcIdentity& aircraft, MatchStep step);

}  // namespace cvl
