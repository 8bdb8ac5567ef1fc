#include "liveries/livery_lookups.h"

#include <fmt/format.h>

#include <gsl/narrow>

#include "engine/ac_labels.h"
#include "foundation/log.h"
#include "foundation/random.h"
#include "liveries/regcode_titles.h"
#include "refdata/similar_models.h"
#include "simlink/creation_failures.h"

namespace cvl {
namespace {

constexpr std::int32_t fullDepth = 4;
constexpr std::int32_t specialPickTries = 5;

const TitleViews* lf_titlesOf(const ModelTitleMap& titles, const std::string& model) {
  const auto found = titles.find(model);
  return found == titles.end() ? nullptr : &found->second;
}

TitleView lf_randomOf(const TitleViews& candidates) {
  return candidates.at(gsl::narrow<std::size_t>(gf_randomBelow(gsl::narrow<std::int64_t>(candidates.size()))));
}

// A few random picks that avoid special titles; then the non-special candidates alone, if there are any.
void lf_pickAvoidingSpecial(AcIdentity& aircraft, const TitleViews& candidates) {
  for (std::int32_t pick = 0; pick < specialPickTries; ++pick) {
    aircraft.liveryTitle = lf_randomOf(candidates);
    if (!lf_isSpecialTitle(aircraft.liveryTitle)) {
      return;
    }
  }
  TitleViews ordinary;
  for (const TitleView title : candidates) {
    if (!lf_isSpecialTitle(title)) {
      ordinary.push_back(title);
    }
  }
  if (!ordinary.empty()) {
    aircraft.liveryTitle = lf_randomOf(ordinary);
  }
}

bool lf_isSmallCategory(AcCategory category) {
  return category == AcCategory::Light || category == AcCategory::Buzjets || category == AcCategory::Rotorcraft;
}

}  // namespace

bool lf_titleByRegcode(AcIdentity& aircraft) {
  if (aircraft.registration.empty()) {
    return false;
  }
  const auto found = RegcodeTitleMap.find(aircraft.registration);
  aircraft.liveryTitle = found == RegcodeTitleMap.end() ? TitleView{} : found->second;
  return !aircraft.liveryTitle.empty();
}

MatchStep lf_regcodeStep(const AcIdentity& aircraft) {
  return UniqueRegcodes.contains(aircraft.registration) ? MatchStep::uniqueRegcode : MatchStep::regcode;
}

bool lf_titleByAirlineModel(AcIdentity& aircraft, const std::string& airline, const std::string& model,
                            std::size_t table) {
  const auto& airlines = AirlineModelTitles.at(table);
  const auto models = airlines.find(airline);
  if (models == airlines.end()) {
    return false;
  }
  const TitleViews* titles = lf_titlesOf(models->second, model);
  return titles != nullptr && lf_pickRandomTitle(aircraft, *titles);
}

bool lf_titleByAirlineModelCargoFirst(AcIdentity& aircraft, const std::string& airline, const std::string& model) {
  if (!aircraft.cargo) {
    return lf_titleByAirlineModel(aircraft, airline, model, paxTitles);
  }
  return lf_titleByAirlineModel(aircraft, airline, model, cargoTitles) ||
         lf_titleByAirlineModel(aircraft, airline, model, paxTitles);
}

bool lf_titleByModel(AcIdentity& aircraft, const std::string& model) {
  const TitleViews* titles = lf_titlesOf(ModelTitles.at(aircraft.cargo ? cargoTitles : paxTitles), model);
  return titles != nullptr && lf_pickRandomTitle(aircraft, *titles);
}

// A refused title among the candidates would otherwise be picked again and again (always, while RANDOM is off), and
// hide the airline's other liveries of the model.
bool lf_pickRandomTitle(AcIdentity& aircraft, const TitleViews& candidates) {
  if (FailedTitles.empty()) {
    if (candidates.empty()) {
      return false;
    }
    lf_pickAvoidingSpecial(aircraft, candidates);
    return true;
  }
  TitleViews usable;
  for (const TitleView title : candidates) {
    if (!gf_isFailedTitle(title)) {
      usable.push_back(title);
    }
  }
  if (usable.empty()) {
    return false;
  }
  lf_pickAvoidingSpecial(aircraft, usable);
  return true;
}

std::optional<MatchStep> lf_matchFallbacks(AcIdentity& aircraft, std::int32_t depth) {
  const bool genericTried = depth >= fullDepth;
  if (genericTried && lf_titleByAirlineModelCargoFirst(aircraft, genericAirline, aircraft.type)) {
    return MatchStep::genericModel;
  }
  if (!lf_isSmallCategory(aircraft.category)) {
    return std::nullopt;
  }
  if (!genericTried && aircraft.airline != privateAirline &&
      lf_titleByAirlineModelCargoFirst(aircraft, genericAirline, aircraft.type)) {
    return MatchStep::genericModel;
  }
  if (lf_titleByModel(aircraft, aircraft.type)) {
    return MatchStep::model;
  }
  for (const std::string& similar : gf_similarModels(aircraft.type)) {
    if (lf_titleByModel(aircraft, similar)) {
      return MatchStep::similarModel;
    }
  }
  return std::nullopt;
}

bool lf_acceptTitle(AcIdentity& aircraft, MatchStep step) {
  if (gf_isFailedTitle(aircraft.liveryTitle)) {
    aircraft.liveryTitle = {};
    return false;
  }
  gf_logIndented(fmt::format("{} ={}= {}", gf_acLabel(aircraft), gf_stepIndex(step), aircraft.liveryTitle));
  return true;
}

}  // namespace cvl
