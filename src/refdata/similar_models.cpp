#include "refdata/similar_models.h"

#include <fmt/format.h>

#include <set>

#include "foundation/log.h"
#include "foundation/random.h"
#include "foundation/strings.h"
#include "liveries/livery_tables.h"
#include "refdata/aircraft_database.h"
#include "refdata/dbase_queries.h"

namespace cvl {

std::unordered_map<std::string, ModelList> TypeSimilarModels;
std::unordered_map<std::string, std::unordered_map<std::string, ModelList>> AirlineSimilarModels;

namespace {

ModelList lf_noModels;
ModelList lf_oneModel;

bool lf_hasInstalledLiveries(const std::string& type) {
  return ModelTitles.at(paxTitles).contains(type) || ModelTitles.at(cargoTitles).contains(type);
}

// For each member of each group, "member,other,other..." with the other positions whose type has liveries. A type
// found in several groups keeps the text that sorts first, so the texts are collected in an ordered set.
std::set<std::string> lf_similarTexts() {
  std::set<std::string> texts;
  for (const auto& group : SimilarGroups) {
    for (std::size_t member = 0; member < group.size(); ++member) {
      std::string text = group[member];
      for (std::size_t other = 0; other < group.size(); ++other) {
        if (other != member && lf_hasInstalledLiveries(group[other])) {
          text += ',' + group[other];
        }
      }
      if (text.find(',') != std::string::npos) {
        texts.insert(std::move(text));
      }
    }
  }
  return texts;
}

void lf_buildTypeSimilarModels() {
  for (const auto& text : lf_similarTexts()) {
    auto pieces = gf_split(text, ',');
    ModelList similar(std::make_move_iterator(pieces.begin() + 1), std::make_move_iterator(pieces.end()));
    TypeSimilarModels.try_emplace(pieces.front(), std::move(similar));
  }
}

void lf_buildAirlineSimilarModels() {
  for (const auto& airline : gf_liveryAirlineCodes()) {
    std::unordered_map<std::string, ModelList> byType;
    for (const auto& [type, similar] : TypeSimilarModels) {
      if (gf_airlineModelHasLivery(airline, type)) {
        continue;
      }
      ModelList owned;
      for (const auto& model : similar) {
        if (gf_airlineModelHasLivery(airline, model)) {
          owned.push_back(model);
        }
      }
      if (!owned.empty()) {
        byType.emplace(type, std::move(owned));
      }
    }
    if (!byType.empty()) {
      AirlineSimilarModels.try_emplace(airline, std::move(byType));
    }
  }
}

const ModelList& lf_oneModelOrNone(std::string model) {
  if (model.empty()) {
    return lf_noModels;
  }
  lf_oneModel.assign(1, std::move(model));
  return lf_oneModel;
}

}  // namespace

void gf_reserveSimilarModelResults() {
  lf_noModels.reserve(1);
  lf_oneModel.reserve(1);
}

// Starts from empty tables: after a simulator switch or a new livery scan they may only name installed types.
void gf_buildSimilarModels() {
  TypeSimilarModels.clear();
  AirlineSimilarModels.clear();
  lf_buildTypeSimilarModels();
  lf_buildAirlineSimilarModels();
  gf_log(fmt::format("{} similar model definitions", TypeSimilarModels.size()));
}

const ModelList& gf_similarModels(const std::string& type) {
  const auto found = TypeSimilarModels.find(type);
  if (found != TypeSimilarModels.end()) {
    gf_shuffle(found->second);
    return found->second;
  }
  switch (gf_aircraftCategory(type)) {
    case AcCategory::Light:
      return lf_oneModelOrNone(gf_randomLightModel());
    case AcCategory::Buzjets:
      return lf_oneModelOrNone(gf_randomBuzjetModel());
    case AcCategory::Rotorcraft:
      return lf_oneModelOrNone(gf_randomRotorcraftModel());
    case AcCategory::Large:
    case AcCategory::Heavy:
    case AcCategory::HighPerf:
      break;
  }
  return lf_noModels;
}

const ModelList& gf_similarModelsForAirline(const std::string& airline, const std::string& type) {
  const auto byType = AirlineSimilarModels.find(airline);
  if (byType == AirlineSimilarModels.end()) {
    return lf_noModels;
  }
  const auto found = byType->second.find(type);
  if (found == byType->second.end()) {
    return lf_noModels;
  }
  gf_shuffle(found->second);
  return found->second;
}

}  // namespace cvl
