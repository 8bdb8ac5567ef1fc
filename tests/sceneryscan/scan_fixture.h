#pragma once

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/sim_choice.h"
#include "foundation/log.h"
#include "refdata/aircraft_database.h"
#include "refdata/airports_database.h"
#include "sceneryscan/scan_log.h"
#include "support/temp_folder.h"

namespace cvl::test {

// A program folder as the current folder with an open Log.txt, the user's folders in temporary folders, MSFS 2020
// chosen, and a small airports database and dbase: publishers, simaddon airports and thirdparty lists.
class SceneryScanTest : public ::testing::Test {
 protected:
  SceneryScanTest() {
    std::filesystem::create_directories(roaming());
    std::filesystem::create_directories(local());
    msfs2020Mode = true;
    AirportList = {airport("EDDF", 50.0333, 8.5706), airport("EDFB", 50.3358, 8.8781),
                   airport("EGLL", 51.4706, -0.4619), airport("KMCI", 39.2976, -94.7139),
                   airport("LOWW", 48.1103, 16.5697)};
    AirportCodes.clear();
    for (const auto& known : AirportList) {
      AirportCodes.insert(known.code);
    }
    Publishers = {{"Northwind Sceneries", "northwind-sceneries"},
                  {"Big Airports Inc", "big airports", "big-airports"},
                  {"Skylark Studios", "skylark-studios"}};
    SimAddonAirports = {"EGLL"};
    ThirdParties20 = {{"Northwind Sceneries", {"EDDF2"}}, {"Big Airports Inc", {"EDDX", "EGLLX"}}};
    ThirdParties24 = {{"Northwind Sceneries", {"EDDF", "LOWW"}}};
    lf_takeScanLogLines();
    gf_openLog();
  }

  ~SceneryScanTest() override {
    gf_closeLog();
    lf_takeScanLogLines();
    gf_forgetAirports();
    Publishers.clear();
    SimAddonAirports.clear();
    ThirdParties20.clear();
    ThirdParties24.clear();
    msfs2020Mode = true;
  }

  static Airport airport(std::string code, double lat, double lon) {
    Airport made;
    made.code = std::move(code);
    made.lat = lat;
    made.lon = lon;
    return made;
  }

  const std::filesystem::path& folder() const { return folder_.path(); }
  std::filesystem::path roaming() const { return users_.path() / "config"; }
  std::filesystem::path local() const { return users_.path() / "data"; }

  // What Log.txt holds after its header line.
  std::string log() const {
    gf_flushLog();
    const auto all = readFile(folder() / "Log.txt");
    return all.substr(all.find('\n') + 1);
  }
  bool logHas(std::string_view text) const { return log().find(text) != std::string::npos; }

  // The scan-log lines written since the last call.
  std::vector<std::string> scanLog() {
    auto lines = lf_takeScanLogLines();
    scanLines_.insert(scanLines_.end(), lines.begin(), lines.end());
    return lines;
  }
  // Whether a line of the scan log so far equals the text.
  bool scanLogHas(std::string_view line) {
    scanLog();
    return std::find(scanLines_.begin(), scanLines_.end(), line) != scanLines_.end();
  }

  // Writes the file, making its folders.
  static void put(const std::filesystem::path& path, std::string_view bytes) {
    if (path.has_parent_path()) {
      std::filesystem::create_directories(path.parent_path());
    }
    writeFile(path, bytes);
  }

 private:
  TempFolder folder_;
  TempFolder users_;
  ScopedCurrentFolder current_{folder_.path()};
  ScopedEnvironment config_{"XDG_CONFIG_HOME", roaming().string()};
  ScopedEnvironment data_{"XDG_DATA_HOME", local().string()};
  std::vector<std::string> scanLines_;
};

}  // namespace cvl::test
