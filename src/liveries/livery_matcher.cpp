#include "liveries/livery_matcher.h"

#include <optional>
#include <string>

#include "foundation/settings_catalogue.h"
#include "refdata/dbase_queries.h"
#include "refdata/registration_lookup.h"
#include "refdata/similar_models.h"

namespace cvl {

std::array<std::int32_t, matchStepCount> MatchStepCounters{};

namespace {

constexpr std::int32_t airlineDepth = 2;
constexpr std::int32_t similarDepth = 3;

bool lf_matchedAtStep(AcIdentity& aircraft, MatchStep step) {
  if (!lf_acceptTitle(aircraft, step)) {
    return false;
  }
  ++MatchStepCounters.at(gf_stepIndex(step));
  aircraft.fsltlTitle = aircraft.liveryTitle.find("FSLTL_") != TitleView::npos;
  return true;
}

bool lf_triedAtStep(AcIdentity& aircraft, bool found, MatchStep step) {
  return found && lf_matchedAtStep(aircraft, step);
}

// The first similar model of the aircraft's own category that the airline has a livery of.
bool lf_titleBySimilarModel(AcIdentity& aircraft, const std::string& airline) {
  for (const std::string& model : gf_similarModelsForAirline(airline, aircraft.type)) {
    if (gf_aircraftCategory(model) == aircraft.category && lf_titleByAirlineModelCargoFirst(aircraft, airline, model)) {
      return true;
    }
  }
  return false;
}

}  // namespace

void gf_matchLivery(AcIdentity& aircraft) {
  const std::int32_t depth = MATCHING_DEPTH.value;
  if (lf_triedAtStep(aircraft, lf_titleByRegcode(aircraft), lf_regcodeStep(aircraft)) || depth < airlineDepth) {
    return;
  }
  if (aircraft.airline == privateAirline &&
      lf_triedAtStep(aircraft, lf_titleByAirlineModelCargoFirst(aircraft, genericAirline, aircraft.type),
                     MatchStep::genericModel)) {
    return;
  }
  // The registration's airline counts only when the database also knows its operator.
  const std::optional<DbaseRecord> record = gf_findDbaseRecord(aircraft.registration);
  const bool operatorKnown = record.has_value() && !record->opr.empty();
  const bool hasAirline = !aircraft.airline.empty();
  if (hasAirline) {
    if (lf_triedAtStep(aircraft, lf_titleByAirlineModelCargoFirst(aircraft, aircraft.airline, aircraft.type),
                       MatchStep::airlineModel) ||
        (operatorKnown &&
         lf_triedAtStep(aircraft, lf_titleByAirlineModelCargoFirst(aircraft, record->airl, aircraft.type),
                        MatchStep::airlineModel))) {
      return;
    }
  }
  if (depth < similarDepth) {
    return;
  }
  if (hasAirline) {
    if (lf_triedAtStep(aircraft, lf_titleBySimilarModel(aircraft, aircraft.airline), MatchStep::airlineSimilarModel) ||
        (operatorKnown &&
         lf_triedAtStep(aircraft, lf_titleBySimilarModel(aircraft, record->airl), MatchStep::airlineSimilarModel))) {
      return;
    }
  }
  if (const auto step = lf_matchFallbacks(aircraft, depth)) {
    lf_matchedAtStep(aircraft, *step);
  }
}

}  // namespace cvl
