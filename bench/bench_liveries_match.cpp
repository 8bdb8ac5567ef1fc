// The livery tables and matchers with a large installation: 400 airlines with liveries of 60 of 80 models (three
// liveries each, every tenth with its registration, every fifth cargo), generic liveries of 20 models, and
// similar-model groups of four. Measured: building the tables from the sorted list, and matching live and static
// aircraft whose identities run through every kind of match, from the registration to no match at all.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ac_identity.h"
#include "foundation/settings_catalogue.h"
#include "liveries/livery_data.h"
#include "liveries/livery_matcher.h"
#include "liveries/livery_tables.h"
#include "liveries/regcode_titles.h"
#include "liveries/static_livery_matcher.h"
#include "refdata/aircraft_database.h"
#include "refdata/similar_models.h"

namespace {

constexpr int airlines = 400;
constexpr int models = 80;
constexpr int modelsPerAirline = 60;
constexpr int liveriesPerModel = 3;
constexpr int identities = 4096;

std::string lf_airline(int index) {
  return fmt::format("A{:02}", index);
}

std::string lf_model(int index) {
  return fmt::format("M{:03}", index);
}

std::string lf_registration(int airline, int model, int livery) {
  return fmt::format("R{}-{}-{}", airline, model, livery);
}

void lf_setUpDatabase() {
  cvl::RANDOM.value = true;
  cvl::MATCHING_DEPTH.value = 4;
  cvl::LargeTypes.clear();
  cvl::SimilarGroups.clear();
  for (int model = 0; model < models; ++model) {
    if (model % 4 != 3) {
      cvl::LargeTypes.insert(lf_model(model));  // every fourth model is Light
    }
    if (model % 4 == 0) {
      cvl::SimilarGroups.push_back({lf_model(model), lf_model(model + 1), lf_model(model + 2), lf_model(model + 3)});
    }
  }
  cvl::gf_reserveSimilarModelResults();
}

cvl::LiveryList lf_installedLiveries() {
  cvl::LiveryList liveries;
  for (int airline = 0; airline < airlines; ++airline) {
    for (int slot = 0; slot < modelsPerAirline; ++slot) {
      const int model = (airline + slot) % models;
      for (int livery = 0; livery < liveriesPerModel; ++livery) {
        const bool registered = (airline + livery) % 10 == 0;
        liveries.push_back({lf_airline(airline), lf_model(model),
                            fmt::format("{} {} livery {}", lf_airline(airline), lf_model(model), livery),
                            registered ? lf_registration(airline, model, livery) : std::string{}, 0,
                            (airline + model) % 5 == 0});
      }
    }
  }
  for (int model = 0; model < models; model += 4) {
    liveries.push_back({"ZZZ", lf_model(model), fmt::format("Generic {}", lf_model(model)), {}, 0, false});
  }
  liveries.sort();
  return liveries;
}

void lf_buildTables(const cvl::LiveryList& liveries) {
  cvl::gf_clearLiveryTables();
  cvl::lf_buildAirlineIndex(liveries);
  cvl::lf_buildAirlineModelTitles();
  cvl::lf_addInlineRegcodes(liveries);
  cvl::lf_buildModelTitleTables();
}

// A mix of aircraft: own registrations, airline and model, similar models, generic and unknown airlines and models.
std::vector<cvl::AcIdentity> lf_identities() {
  std::vector<cvl::AcIdentity> list;
  list.reserve(identities);
  for (int index = 0; index < identities; ++index) {
    const int airline = index % (airlines + 50);
    const int model = (index * 7) % (models + 10);
    cvl::IdentityTexts texts;
    texts.callsign = fmt::format("C{}", index);
    texts.airline = lf_airline(airline);
    texts.type = lf_model(model);
    texts.registration = index % 3 == 0 ? lf_registration(airline, model, 0) : fmt::format("X{}", index);
    cvl::AcIdentity& identity = list.emplace_back(texts);
    identity.cargo = index % 6 == 0;
  }
  return list;
}

void BM_BuildLiveryTables(benchmark::State& state) {
  lf_setUpDatabase();
  const cvl::LiveryList liveries = lf_installedLiveries();
  for (auto _ : state) {
    lf_buildTables(liveries);
    cvl::gf_buildSimilarModels();
    benchmark::DoNotOptimize(cvl::ModelTitles.data());
  }
  state.counters["liveries"] = static_cast<double>(liveries.size());
  cvl::gf_clearLiveryTables();
}

template <typename Match>
void lf_runMatches(benchmark::State& state, Match match) {
  lf_setUpDatabase();
  lf_buildTables(lf_installedLiveries());
  cvl::gf_buildSimilarModels();
  std::vector<cvl::AcIdentity> aircraft = lf_identities();
  std::size_t next = 0;
  std::int64_t matched = 0;
  for (auto _ : state) {
    cvl::AcIdentity& one = aircraft[next];
    one.liveryTitle = {};
    matched += match(one) ? 1 : 0;
    next = (next + 1) % aircraft.size();
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["matched"] =
      benchmark::Counter(static_cast<double>(matched) / static_cast<double>(state.iterations()));
  cvl::gf_clearLiveryTables();
}

void BM_MatchLiveAircraft(benchmark::State& state) {
  lf_runMatches(state, [](cvl::AcIdentity& aircraft) {
    cvl::gf_matchLivery(aircraft);
    return !aircraft.liveryTitle.empty();
  });
}

void BM_MatchStaticAircraft(benchmark::State& state) {
  cvl::ParkPos stand;
  stand.id = "A1";
  lf_runMatches(state, [&stand](cvl::AcIdentity& aircraft) {
    stand.cargo = !stand.cargo;
    return cvl::gf_matchLiveryParked(aircraft, stand);
  });
}

}  // namespace

BENCHMARK(BM_BuildLiveryTables)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatchLiveAircraft);
BENCHMARK(BM_MatchStaticAircraft);
