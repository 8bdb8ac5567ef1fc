#pragma once

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/exit_reasons.h"
#include "app/worker_thread.h"
#include "foundation/constants.h"
#include "foundation/open_log.h"
#include "liveries/livery_data.h"
#include "liveries/scan_reports.h"
#include "refdata/aircraft_database.h"
#include "support/sample_data.h"
#include "support/temp_folder.h"

namespace cvl::test {

// A livery as one text, for readable comparisons: "airline type 'title' registration folder cargo|pax".
inline std::string liveryText(const LiveryData& livery) {
  return fmt::format("{} {} '{}' {} {} {}", livery.airl, livery.type, livery.title, livery.atcid, livery.folder,
                     livery.cargo ? "cargo" : "pax");
}

inline std::vector<std::string> liveryTexts(const LiveryList& liveries) {
  std::vector<std::string> texts;
  for (const auto& livery : liveries) {
    texts.push_back(liveryText(livery));
  }
  return texts;
}

// A program folder as the current folder with an open Log.txt and output/info, small reference tables (a few types,
// airlines, one type fix and some registrations) and empty scan state; all of it is put back afterwards.
class LiveryScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(outputInfoFolder);
    KnownTypes = {"A320", "A20N", "B738", "B748", "B77L", "C172", "E190"};
    HeavyTypes = {"B748", "B77L"};
    IcaoAirlines = {"DLH", "KLM", "EWG", "FDX", "GEC", "AUA"};
    TypeFixes = {{"B77F", "B77L"}};
    RegistrationTable = {{"D-AIDP", {"DLH", "A320", "Lufthansa", false}},
                         {"D-ALFG", {"GEC", "B77L", "GEC", true}},
                         {"PH-BXA", {"KLM", "B738", "KLM", false}},
                         {"D-EAB", {"PVT", "C172", "", false}}};
    ShortRegistrations = {"D-EAB"};
    hardwareThreads = 4;
    scanSlotsInUse = 0;
  }

  void TearDown() override {
    for (auto* codes : {&KnownTypes, &HeavyTypes, &IcaoAirlines}) {
      codes->clear();
    }
    TypeFixes.clear();
    RegistrationTable.clear();
    ShortRegistrations.clear();
    lf_clearScanReports();
    ScannedLiveries.clear();
    stopRequested = false;
  }

  // Writes the file (bytes as given) below the program folder, making its folders; returns its absolute path.
  std::filesystem::path write(const std::filesystem::path& relative, std::string_view bytes) const {
    const auto path = log_.folder() / relative;
    std::filesystem::create_directories(path.parent_path());
    writeFile(path, bytes);
    return path;
  }

  const std::filesystem::path& folder() const { return log_.folder(); }
  std::string log() const { return log_.body(); }

 private:
  OpenLog log_;
};

}  // namespace cvl::test
