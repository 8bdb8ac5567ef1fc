#include "liveries/static_livery_matcher.h"

#include <fmt/format.h>

#include <cstdint>
#include <optional>
#include <string>

#include "engine/ac_labels.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "liveries/livery_lookups.h"
#include "parking/stand_names.h"
#include "refdata/registration_lookup.h"
#include "refdata/similar_models.h"

namespace cvl {
namespace {

constexpr std::int32_t airlineDepth = 2;
constexpr std::int32_t similarDepth = 3;

bool lf_accepted(AcIdentity& aircraft, bool found, MatchStep step) {
  return found && lf_acceptTitle(aircraft, step);
}

// The similar models come from the list of the airline that is looked up: a list asked for another airline names
// the models that airline has liveries of.
bool lf_acceptedSimilarModel(AcIdentity& aircraft, const std::string& airline) {
  for (const std::string& model : gf_similarModelsForAirline(airline, aircraft.type)) {
    if (lf_accepted(aircraft, lf_titleByAirlineModelCargoFirst(aircraft, airline, model),
                    MatchStep::airlineSimilarModel)) {
      return true;
    }
  }
  return false;
}

bool lf_matchByAirlines(AcIdentity& aircraft, std::int32_t depth) {
  if (aircraft.airline == privateAirline &&
      lf_accepted(aircraft, lf_titleByAirlineModelCargoFirst(aircraft, genericAirline, aircraft.type),
                  MatchStep::genericModel)) {
    return true;
  }
  const std::optional<DbaseRecord> record = gf_findDbaseRecord(aircraft.registration);
  const bool operatorKnown = record.has_value() && !record->opr.empty();
  if (lf_accepted(aircraft, lf_titleByAirlineModelCargoFirst(aircraft, aircraft.airline, aircraft.type),
                  MatchStep::airlineModel) ||
      (operatorKnown && lf_accepted(aircraft, lf_titleByAirlineModelCargoFirst(aircraft, record->airl, aircraft.type),
                                    MatchStep::airlineModel))) {
    return true;
  }
  if (depth < similarDepth) {
    return false;
  }
  if (lf_acceptedSimilarModel(aircraft, aircraft.airline) ||
      (operatorKnown && lf_acceptedSimilarModel(aircraft, record->airl))) {
    return true;
  }
  const auto step = lf_matchFallbacks(aircraft, depth);
  return step.has_value() && lf_accepted(aircraft, true, *step);
}

}  // namespace

bool gf_matchLiveryParked(AcIdentity& aircraft, const ParkPos& stand) {
  if (!aircraft.liveryTitle.empty()) {
    gf_logIndented(fmt::format("{} =s= {}", gf_acLabel(aircraft), aircraft.liveryTitle));
    return true;
  }
  const std::int32_t depth = MATCHING_DEPTH.value;
  aircraft.cargo = stand.cargo;
  if (lf_accepted(aircraft, lf_titleByRegcode(aircraft), lf_regcodeStep(aircraft)) ||
      (depth >= airlineDepth && lf_matchByAirlines(aircraft, depth))) {
    return true;
  }
  gf_log(fmt::format("{:8}: {} no livery match ...", gf_standText(stand), gf_acRegLabel(aircraft)));
  return false;
}

}  // namespace cvl
