#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "liveries/livery_data.h"

// The installed liveries as the livery matchers and the similar-model tables query them. Every title lives once, in
// AirlineIndex; the other tables, the aircraft records and the queued creations hold views of those strings. The
// tables are built and emptied only by the worker thread at the start of a run, when no aircraft record, queued
// creation or remembered title from an earlier run is left, and are read-only in between.
namespace cvl {

struct StoredTitle {
  std::string title;
  bool cargo{false};
};

using TitleView = std::string_view;
using TitleViews = std::vector<TitleView>;
using ModelTitleMap = std::unordered_map<std::string, TitleViews>;
using ModelStoredTitles = std::unordered_map<std::string, std::vector<StoredTitle>>;

// The index of the passenger and of the cargo table in ModelTitles and AirlineModelTitles.
inline constexpr std::size_t paxTitles = 0;
inline constexpr std::size_t cargoTitles = 1;

// The index of each category in CategoryLiveryModels.
inline constexpr std::size_t lightModels = 0;
inline constexpr std::size_t buzjetModels = 1;
inline constexpr std::size_t rotorcraftModels = 2;

// Airline -> model (ICAO type) -> the installed titles of that airline and model, in title order. Owns every title.
extern std::unordered_map<std::string, ModelStoredTitles> AirlineIndex;
// Passenger and cargo: airline -> model -> its titles.
extern std::array<std::unordered_map<std::string, ModelTitleMap>, 2> AirlineModelTitles;
// Passenger and cargo: model -> its titles of every airline.
extern std::array<ModelTitleMap, 2> ModelTitles;
// The models that have installed liveries, of the categories Light, Buzjets and Rotorcraft.
extern std::array<std::vector<std::string>, 3> CategoryLiveryModels;

// Empties every livery table, the owner of the titles last. Only between runs (see above); never throws.
void gf_clearLiveryTables() noexcept;

// The table builders, in the order the build calls them. The scanned list is sorted by airline, type and title.
void lf_buildAirlineIndex(const LiveryList& scanned);
void lf_buildAirlineModelTitles();
void lf_buildModelTitleTables();

// How many liveries the tables hold.
std::size_t gf_liveryTableCount();

// A view of the stored title equal to the text; empty when no installed livery has that title.
TitleView lf_findStoredTitle(std::string_view title);

// For every airline of AirlineIndex, in the table's order, its first three characters (the whole key when shorter).
std::vector<std::string> gf_liveryAirlineCodes();

// Whether AirlineIndex has the airline and, below it, the model.
bool gf_airlineModelHasLivery(const std::string& airline, const std::string& model);

// The models of the generic airline "ZZZ", in the table's order; no value when it has no liveries.
std::optional<std::vector<std::string>> lf_genericAirlineModels();

// A model of the category that has installed liveries (picked at random while RANDOM is on, else the first); empty
// when the category has none.
std::string gf_randomLightModel();
std::string gf_randomBuzjetModel();
std::string gf_randomRotorcraftModel();

}  // namespace cvl
