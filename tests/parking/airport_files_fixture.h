#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "app/main_window.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "parking/current_park_airport.h"
#include "parking/park_airport_file.h"
#include "parking/park_airport_list.h"
#include "parking/park_pos.h"
#include "refdata/aircraft_database.h"
#include "refdata/airports_database.h"
#include "support/temp_folder.h"

namespace cvl::test {

// One parameter entry of an airport file.
inline std::string apfParameter(std::string_view name, std::string_view value) {
  return "<parameter name=\"" + std::string(name) + "\" value=\"" + std::string(value) + "\"/>";
}

// An airport file with the program's header of that version, the parameters and the parkpos elements given.
inline std::string apfXml(std::string_view parameters, std::string_view stands, std::string_view version = "11.10.3") {
  return "<?xml version=\"1.0\"?><root><meta><info name=\"author\" value=\"Corvalen\"/><info name=\"version\" "
         "value=\"" +
         std::string(version) +
         "\"/><info name=\"copyright\" value=\"ours\"/><info name=\"sim\" value=\"1\"/></meta><parameters>" +
         std::string(parameters) + "</parameters><parkpositions>" + std::string(stands) + "</parkpositions></root>";
}

// A BAW A320 option on Wednesday; learned unless origin says it comes from the airport file.
inline StandOption wednesdayOption(std::uint32_t id, HalfHourSet hours, const std::string& reg = {},
                                   std::uint32_t origin = 0) {
  StandOption option;
  option.airline = "BAW";
  option.type = "A320";
  option.reg = reg;
  option.hh = hours;
  option.id = id;
  option.day = 3;
  option.origin = origin;
  return option;
}

// A program folder as the current folder with its airport folders, the user's settings in it too, a small airports
// database (EDDF has a stock file, EDDK none, EDDL a parking percentage of 100), a registration and EDDF as the park
// airport. The static-parking settings, the park-airport state and the log are put back afterwards.
class AirportFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& folder : {mySimAddonFolder, myThirdPartyFolder, learnedStockFolder, appDataFolder()}) {
      std::filesystem::create_directories(folder);
    }
    AirportList = {Airport{"EDDF", "FRA", 50.0333, 8.5706, 364.0, 180},
                   Airport{"EDDK", "CGN", 50.8659, 7.1427, 302.0, 0},
                   Airport{"EDDL", "DUS", 51.2895, 6.7668, 147.0, 1}};
    RegistrationTable = {{"D-AIBA", DbaseRecord{"DLH", "A319", "CLH", false}},
                         {"D-AIQB", DbaseRecord{"DLH", "A320", "", false}}};
    currentParkAirport = AirportList.front();
    gf_openLog();
  }

  void TearDown() override {
    parkAirportFileLoaded = false;
    gf_resetParkAirport();
    gf_closeLog();
    gf_forgetAirports();
    RegistrationTable.clear();
    currentParkAirport = {};
    parkPositions.clear();
    parkAirports.clear();
    parkAirportFile = {};
    parkQualityFactors = {};
  }

  // What the log holds so far.
  static std::string logText() {
    gf_flushLog();
    return readFile("Log.txt");
  }

  // Reads the airport file of that name for the park airport into parkPositions.
  static std::string readParkAirport(const std::string& name) {
    return gf_readApf(name, parkAirportFile, parkQualityFactors, parkPositions);
  }

  TempFolder folder_;
  ScopedCurrentFolder current_{folder_.path()};
  ScopedEnvironment settingsHome_{"XDG_CONFIG_HOME", (folder_.path() / "config").string()};
};

}  // namespace cvl::test
