#include "liveries/livery_tables.h"

#include <gsl/narrow>

#include "foundation/random.h"

namespace cvl {

std::unordered_map<std::string, std::unordered_map<std::string, std::vector<StoredTitle>>> AirlineIndex;
std::array<ModelTitleMap, 2> ModelTitles;
std::array<std::vector<std::string>, 3> CategoryLiveryModels;

namespace {

constexpr std::size_t airlineCodeLength = 3;

std::string lf_randomModelOf(std::size_t category) {
  const auto& models = CategoryLiveryModels.at(category);
  if (models.empty()) {
    return {};
  }
  const auto pick = gf_randomBelow(gsl::narrow<std::int64_t>(models.size()));
  return models.at(gsl::narrow<std::size_t>(pick));
}

}  // namespace

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
