#include "liveries/matching_summary.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cstddef>

#include "app/controls.h"
#include "engine/ac_enums.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/utilities.h"
#include "liveries/livery_matcher.h"
#include "liveries/livery_tables.h"
#include "refdata/dbase_queries.h"
#include "simlink/creation_failures.h"

namespace cvl {
namespace {

constexpr std::size_t modelsPerLine = 20;
constexpr std::int32_t bannerWidth = 100;

struct CategoryLiveries {
  std::array<std::size_t, 2> counts{};
  std::vector<std::string> models;
};

CategoryLiveries lf_liveriesOf(AcCategory category) {
  CategoryLiveries found;
  for (std::size_t table = 0; table < ModelTitles.size(); ++table) {
    for (const auto& [model, titles] : ModelTitles.at(table)) {
      if (gf_aircraftCategory(model) == category) {
        found.counts.at(table) += titles.size();
        found.models.push_back(model);
      }
    }
  }
  std::sort(found.models.begin(), found.models.end());
  found.models.erase(std::unique(found.models.begin(), found.models.end()), found.models.end());
  return found;
}

std::string lf_countsLine(std::string_view name, const CategoryLiveries& liveries) {
  const std::size_t pax = liveries.counts.at(paxTitles);
  const std::size_t cargo = liveries.counts.at(cargoTitles);
  const std::string cargoPart = cargo > 0 ? fmt::format(" and {} cargo liverie{}", cargo, gf_pluralSSize(cargo)) : "";
  return fmt::format("Category {}: {} pax liverie{}{}", name, pax, gf_pluralSSize(pax), cargoPart);
}

// Without any livery the category's traffic could never be given one.
void lf_switchOffTraffic(CheckBoxParameter& option, std::string_view line) {
  if (!option.value) {
    return;
  }
  gf_setCheckBox(option, false);
  gf_log(fmt::format(fmt::runtime(line), option.key));
}

void lf_switchOffTrafficOf(AcCategory category) {
  switch (category) {
    case AcCategory::Light:
      lf_switchOffTraffic(LIGHT_AIRCRAFT,
                          "{} temporarily switched off because you do not have light aircraft installed");
      break;
    case AcCategory::HighPerf:
      lf_switchOffTraffic(HIGH_PERF_AIRCRAFT,
                          "{} temporarily switched off because you do not have High Perf aircraft installed");
      break;
    case AcCategory::Rotorcraft:
      lf_switchOffTraffic(HELICOPTERS, "{} temporarily switched off because you do not have Helicopters installed");
      break;
    case AcCategory::Buzjets:
    case AcCategory::Large:
    case AcCategory::Heavy:
      break;
  }
}

std::vector<std::string>* lf_categoryVector(bool light, bool buzjet, bool rotorcraft) {
  if (light) {
    return &CategoryLiveryModels.at(lightModels);
  }
  if (buzjet) {
    return &CategoryLiveryModels.at(buzjetModels);
  }
  if (rotorcraft) {
    return &CategoryLiveryModels.at(rotorcraftModels);
  }
  return nullptr;
}

}  // namespace

void lf_categorySummary(AcCategory category) {
  const std::string_view name = categoryName(category);
  const CategoryLiveries liveries = lf_liveriesOf(category);
  if (liveries.counts.at(paxTitles) > 0 || liveries.counts.at(cargoTitles) > 0) {
    gf_log(lf_countsLine(name, liveries));
  } else {
    gf_log(fmt::format("Category {}: No livery found", name));
    lf_switchOffTrafficOf(category);
  }
  if (!liveries.models.empty()) {
    lf_fillCategoryVectors(category == AcCategory::Light, category == AcCategory::Buzjets,
                           category == AcCategory::Rotorcraft, liveries.models);
  }
}

void lf_fillCategoryVectors(bool light, bool buzjet, bool rotorcraft, const std::vector<std::string>& models) {
  std::vector<std::string>* chosen = lf_categoryVector(light, buzjet, rotorcraft);
  for (std::size_t first = 0; first < models.size(); first += modelsPerLine) {
    const auto begin = models.begin() + static_cast<std::ptrdiff_t>(first);
    const auto end = models.begin() + static_cast<std::ptrdiff_t>(std::min(first + modelsPerLine, models.size()));
    if (chosen != nullptr) {
      chosen->insert(chosen->end(), begin, end);
    }
    gf_log(fmt::format("  {}", fmt::join(begin, end, ",")));
  }
}

void lf_genericLiverySummary() {
  auto models = lf_genericAirlineModels();
  if (!models) {
    gf_log("No generic liveries");
    return;
  }
  std::sort(models->begin(), models->end());
  models->erase(std::unique(models->begin(), models->end()), models->end());
  gf_log(fmt::format("{} model{} have a generic livery", models->size(), gf_pluralSSize(models->size())));
  lf_fillCategoryVectors(false, false, false, *models);
}

void gf_liveryMatchingSummary() {
  if (std::none_of(MatchStepCounters.begin(), MatchStepCounters.end(), [](std::int32_t count) { return count > 0; })) {
    return;
  }
  gf_log(gf_starBanner(bannerWidth, 0, true, false, "live traffic livery matching summary"));
  gf_log("Matches at step: ");
  for (std::size_t step = 0; step < MatchStepCounters.size(); ++step) {
    gf_log(fmt::format("  {}: {}", step, MatchStepCounters.at(step)));
  }
  if (!failedCreations.empty()) {
    gf_log(fmt::format("\nCould not be created by {}:", "MSFS"));
    for (const std::string& key : failedCreations) {
      gf_log(fmt::format("  {}", key));
    }
  }
  gf_log(gf_starBanner(bannerWidth, 0, false, true, ""));
}

}  // namespace cvl
