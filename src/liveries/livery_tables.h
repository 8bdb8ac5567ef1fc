#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The installed liveries as the livery matchers and the similar-model tables query them. Every title lives once, in
// AirlineIndex; the other tables hold views of those strings, so AirlineIndex must not change while they are in use.
// Built on the worker thread at start-up, read-only afterwards.
namespace cvl {

struct StoredTitle {
  std::string title;
  bool cargo{false};
};

using TitleView = std::string_view;
using ModelTitleMap = std::unordered_map<std::string, std::vector<TitleView>>;

// The index of the passenger and of the cargo table in ModelTitles.
inline constexpr std::size_t paxTitles = 0;
inline constexpr std::size_t cargoTitles = 1;

// The index of each category in CategoryLiveryModels.
inline constexpr std::size_t lightModels = 0;
inline constexpr std::size_t buzjetModels = 1;
inline constexpr std::size_t rotorcraftModels = 2;

// Airline -> model (ICAO type) -> the installed titles of that airline and model.
extern std::unordered_map<std::string, std::unordered_map<std::string, std::vector<StoredTitle>>> AirlineIndex;
// Model -> its installed titles, passenger and cargo.
extern std::array<ModelTitleMap, 2> ModelTitles;
// The models that have installed liveries, of the categories Light, Buzjets and Rotorcraft.
extern std::array<std::vector<std::string>, 3> CategoryLiveryModels;

// For every airline of AirlineIndex, in the table's order, its first three characters (the whole key when shorter).
std::vector<std::string> gf_liveryAirlineCodes();

// Whether AirlineIndex has the airline and, below it, the model.
bool gf_airlineModelHasLivery(const std::string& airline, const std::string& model);

// A model of the category that has installed liveries (picked at random while RANDOM is on, else the first); empty
// when the category has none.
std::string gf_randomLightModel();
std::string gf_randomBuzjetModel();
std::string gf_randomRotorcraftModel();

}  // namespace cvl
