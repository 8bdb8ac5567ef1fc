#include "liveries/livery_tables.h"

#include <fmt/format.h>

#include <gsl/narrow>
#include <unordered_set>

#include "foundation/log.h"
#include "foundation/random.h"
#include "foundation/utilities.h"
#include "liveries/regcode_titles.h"

namespace cvl {

std::unordered_map<std::string, ModelStoredTitles> AirlineIndex;
std::array<std::unordered_map<std::string, ModelTitleMap>, 2> AirlineModelTitles;
std::array<ModelTitleMap, 2> ModelTitles;
std::array<std::vector<std::string>, 3> CategoryLiveryModels;

namespace {

constexpr std::size_t airlineCodeLength = 3;

// One view of every distinct stored title, the first in table order, so that titles read from the registration
// files find their stored string without a walk through all liveries.
std::unordered_set<TitleView> StoredTitleIndex;

std::size_t lf_tableOf(const StoredTitle& stored) {
  return stored.cargo ? cargoTitles : paxTitles;
}

// An empty airline or model would be found by every aircraft that lacks one, and an empty title is no livery at all.
bool lf_isComplete(const LiveryData& livery) {
  return !livery.airl.empty() && !livery.type.empty() && !livery.title.empty();
}

// The views are taken only once every vector has its final place: a moved short string moves its characters.
void lf_indexStoredTitles() {
  for (auto& [airline, models] : AirlineIndex) {
    for (auto& [model, titles] : models) {
      titles.shrink_to_fit();
      for (const StoredTitle& stored : titles) {
        StoredTitleIndex.insert(stored.title);
      }
    }
  }
}

std::string lf_randomModelOf(std::size_t category) {
  const auto& models = CategoryLiveryModels.at(category);
  if (models.empty()) {
    return {};
  }
  const auto pick = gf_randomBelow(gsl::narrow<std::int64_t>(models.size()));
  return models.at(gsl::narrow<std::size_t>(pick));
}

}  // namespace

void gf_clearLiveryTables() noexcept {
  for (auto& models : CategoryLiveryModels) {
    models.clear();
  }
  UniqueRegcodes.clear();
  SpecialTitles.clear();
  RegcodeTitleMap.clear();
  for (auto& titles : ModelTitles) {
    titles.clear();
  }
  for (auto& airlines : AirlineModelTitles) {
    airlines.clear();
  }
  StoredTitleIndex.clear();
  AirlineIndex.clear();
}

void lf_buildAirlineIndex(const LiveryList& scanned) {
  std::size_t skipped = 0;
  for (const LiveryData& livery : scanned) {
    if (!lf_isComplete(livery)) {
      ++skipped;
      continue;
    }
    AirlineIndex[livery.airl][livery.type].push_back({livery.title, livery.cargo});
  }
  lf_indexStoredTitles();
  if (skipped > 0) {
    gf_logFlagged(
        fmt::format("{} livery record{} without airline, type or title skipped", skipped, gf_pluralSSize(skipped)));
  }
}

void lf_buildAirlineModelTitles() {
  for (const auto& [airline, models] : AirlineIndex) {
    std::array<ModelTitleMap, 2> byModel;
    for (const auto& [model, titles] : models) {
      std::array<TitleViews, 2> split;
      for (const StoredTitle& stored : titles) {
        split.at(lf_tableOf(stored)).push_back(stored.title);
      }
      for (std::size_t table = 0; table < split.size(); ++table) {
        if (!split.at(table).empty()) {
          split.at(table).shrink_to_fit();
          byModel.at(table).emplace(model, std::move(split.at(table)));
        }
      }
    }
    for (std::size_t table = 0; table < byModel.size(); ++table) {
      if (!byModel.at(table).empty()) {
        AirlineModelTitles.at(table).emplace(airline, std::move(byModel.at(table)));
      }
    }
  }
}

void lf_buildModelTitleTables() {
  for (const auto& [airline, models] : AirlineIndex) {
    for (const auto& [model, titles] : models) {
      for (const StoredTitle& stored : titles) {
        ModelTitles.at(lf_tableOf(stored))[model].push_back(stored.title);
      }
    }
  }
  for (auto& table : ModelTitles) {
    for (auto& [model, titles] : table) {
      titles.shrink_to_fit();
    }
  }
}

std::size_t gf_liveryTableCount() {
  std::size_t count = 0;
  for (const auto& [airline, models] : AirlineIndex) {
    for (const auto& [model, titles] : models) {
      count += titles.size();
    }
  }
  return count;
}

TitleView lf_findStoredTitle(std::string_view title) {
  const auto found = StoredTitleIndex.find(title);
  return found == StoredTitleIndex.end() ? TitleView{} : *found;
}

std::vector<std::string> gf_liveryAirlineCodes() {
  std::vector<std::string> codes;
  codes.reserve(AirlineIndex.size());
  for (const auto& entry : AirlineIndex) {
    codes.push_back(entry.first.substr(0, airlineCodeLength));
  }
  return codes;
}

bool gf_airlineModelHasLivery(const std::string& airline, const std::string& model) {
  const auto found = AirlineIndex.find(airline);
  return found != AirlineIndex.end() && found->second.contains(model);
}

std::optional<std::vector<std::string>> lf_genericAirlineModels() {
  const auto generic = AirlineIndex.find(genericAirline);
  if (generic == AirlineIndex.end()) {
    return std::nullopt;
  }
  std::vector<std::string> models;
  models.reserve(generic->second.size());
  for (const auto& entry : generic->second) {
    models.push_back(entry.first);
  }
  return models;
}

std::string gf_randomLightModel() {
  return lf_randomModelOf(lightModels);
}

std::string gf_randomBuzjetModel() {
  return lf_randomModelOf(buzjetModels);
}

std::string gf_randomRotorcraftModel() {
  return lf_randomModelOf(rotorcraftModels);
}

}  // namespace cvl
