#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/ac_identity.h"
#include "foundation/open_log.h"
#include "foundation/settings_catalogue.h"
#include "liveries/livery_data.h"
#include "liveries/livery_matcher.h"
#include "liveries/livery_tables.h"
#include "liveries/regcode_titles.h"
#include "refdata/aircraft_database.h"
#include "refdata/similar_models.h"
#include "simlink/creation_failures.h"
#include "support/temp_folder.h"

namespace cvl::test {

inline LiveryData livery(std::string airline, std::string type, std::string title, std::string atcid = {},
                         bool cargo = false) {
  return LiveryData{std::move(airline), std::move(type), std::move(title), std::move(atcid), 0, cargo};
}

inline LiveryData cargoLivery(std::string airline, std::string type, std::string title) {
  return livery(std::move(airline), std::move(type), std::move(title), {}, true);
}

// A program folder with an open log and its own settings folder, the type categories of a small aircraft database
// (A320 family Large, B744 and B77W Heavy, C25A Buzjets, EC35 Rotorcraft, F16 HighPerf, anything else Light),
// RANDOM off, MATCHING_DEPTH 4, and every livery, similar-model and failure table empty before and after.
class LiveryTest : public ::testing::Test {
 protected:
  LiveryTest() {
    RANDOM.value = false;
    MATCHING_DEPTH.value = 4;
    clearTables();
    LargeTypes = {"A20N", "A319", "A320", "A321"};
    HeavyTypes = {"B744", "B77W"};
    BuzjetTypes = {"C25A"};
    RotorcraftTypes = {"EC35"};
    HighPerfTypes = {"F16"};
    gf_reserveSimilarModelResults();
  }
  ~LiveryTest() override {
    clearTables();
    RANDOM.value = randomBefore_;
    MATCHING_DEPTH.value = depthBefore_;
    LIGHT_AIRCRAFT.value = lightBefore_;
    HIGH_PERF_AIRCRAFT.value = highPerfBefore_;
    HELICOPTERS.value = helicoptersBefore_;
  }

  // Empty tables, then the airline and title tables of the liveries (sorted as the file reader sorts them), their
  // in-line registrations and the similar-model tables.
  static void install(LiveryList liveries) {
    gf_clearLiveryTables();
    liveries.sort();
    lf_buildAirlineIndex(liveries);
    lf_buildAirlineModelTitles();
    lf_addInlineRegcodes(liveries);
    lf_buildModelTitleTables();
    gf_buildSimilarModels();
  }

  static AcIdentity aircraft(std::string airline, std::string type, std::string registration = {}, bool cargo = false) {
    IdentityTexts texts;
    texts.callsign = "TST123";
    texts.airline = std::move(airline);
    texts.type = std::move(type);
    texts.registration = std::move(registration);
    AcIdentity identity{texts};
    identity.cargo = cargo;
    return identity;
  }

  std::string log() const { return log_.body(); }
  const std::filesystem::path& folder() const { return log_.folder(); }

 private:
  static void clearTables() {
    gf_clearLiveryTables();
    OfflineRegcodeLines.clear();
    TypeSimilarModels.clear();
    AirlineSimilarModels.clear();
    SimilarGroups.clear();
    RegistrationTable.clear();
    LargeTypes.clear();
    HeavyTypes.clear();
    BuzjetTypes.clear();
    RotorcraftTypes.clear();
    HighPerfTypes.clear();
    FailedTitles.clear();
    failedCreations.clear();
    MatchStepCounters = {};
  }

  OpenLog log_;
  TempFolder settings_;
  ScopedEnvironment configHome_{"XDG_CONFIG_HOME", settings_.path().string()};
  bool randomBefore_{RANDOM.value.load()};
  std::int32_t depthBefore_{MATCHING_DEPTH.value.load()};
  bool lightBefore_{LIGHT_AIRCRAFT.value.load()};
  bool highPerfBefore_{HIGH_PERF_AIRCRAFT.value.load()};
  bool helicoptersBefore_{HELICOPTERS.value.load()};
};

}  // namespace cvl::test
