#include "liveries/scan_reports.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan_fixture.h"

namespace cvl {
namespace {

using test::liveryTexts;
using test::readFile;
using Texts = std::vector<std::string>;

using ScanReports = test::LiveryScanTest;

TEST_F(ScanReports, AScanWithoutFindingsWritesNoFile) {
  lf_writeScanReports();
  EXPECT_EQ(log(), "\nNo errors\n\nInformation:\n");
  EXPECT_FALSE(std::filesystem::exists(outputErrorsFolder));
  EXPECT_TRUE(std::filesystem::is_empty(outputInfoFolder));
}

TEST_F(ScanReports, EachListGoesToItsFileInItsOrder) {
  for (const char* line : {"b same", "a same", "b same"}) {
    InvalidAirlineCodes.add(line);
    lf_addIncompleteSectionLine(line);
  }
  lf_addFixLine("second fix");
  lf_addFixLine("first fix");
  InvalidModelCodes.add("X1");
  CfgFilesWithoutFltsim.add("z.cfg");
  CfgFilesWithoutFltsim.add("a.cfg");
  lf_writeScanReports();
  EXPECT_EQ(readFile(invalidAirlinesReportPath), "a same\nb same\nb same\n");
  EXPECT_EQ(readFile(incompleteSectionsReportPath), "a same\nb same\n");
  EXPECT_EQ(readFile(fixesReportPath), "second fix\nfirst fix\n");
  EXPECT_EQ(readFile(noFltsimReportPath), "a.cfg\nz.cfg\n");
  EXPECT_FALSE(std::filesystem::exists(invalidCfgReportPath));
  EXPECT_EQ(log(),
            "\nErrors:\n"
            "3 invalid airline codes, see output/errors/InvalidAirlineCodes.txt\n"
            "1 invalid model code, see output/errors/InvalidAircraftCodes.txt\n"
            "2 code fixes, see output/errors/Fixes.txt\n"
            "2 incomplete [fltsim.x] sections, see output/errors/IncompleFltsimSections.txt\n"
            "\nInformation:\n"
            "2 empty aircraft.cfg files, see output/info/AircraftCfgWithNoFltsimSection.txt\n");

  lf_clearScanReports();
  EXPECT_TRUE(CodeFixes.empty()) << "a later scan must not write this scan's fixes again";
  EXPECT_TRUE(IncompleteSections.empty());
}

TEST_F(ScanReports, TheRemovalKeepsTheLiveriesFileAndStopsAtAForeignFile) {
  for (const auto* path : {&invalidAirlinesReportPath, &fixesReportPath, &noFltsimReportPath,
                           &codeConversionsReportPath, &scannedLiveriesPath}) {
    write(*path, "old");
  }
  lf_removeScanReports();
  EXPECT_FALSE(std::filesystem::exists(outputErrorsFolder));
  EXPECT_FALSE(std::filesystem::exists(noFltsimReportPath));
  EXPECT_TRUE(std::filesystem::exists(codeConversionsReportPath));
  EXPECT_TRUE(std::filesystem::exists(scannedLiveriesPath));

  write(outputErrorsFolder / "notes.txt", "the user's");
  write(fixesReportPath, "old");
  lf_removeScanReports();
  EXPECT_FALSE(std::filesystem::exists(fixesReportPath));
  EXPECT_TRUE(std::filesystem::exists(outputErrorsFolder / "notes.txt"));
  EXPECT_NE(log().find("problems with removing previous files: "), std::string::npos);
}

TEST_F(ScanReports, TheDatabaseCorrectsAirlineTypeAndCargoOfKnownRegistrations) {
  RegistrationTable["D-ACNA"] = {"DLH", "CRJ9", "CLH", false};
  RegistrationTable["D-AIBA"] = {"DLH", "", "Lufthansa", true};
  ScannedLiveries = {{"DLH", "CRJ9", "Sample CRJ-900 Lufthansa", "D-ACNA", 1, false},
                     {"DLH", "A319", "Sample A319 Lufthansa", "D-AIBA", 1, false},
                     {"KLM", "B738", "Sample B737 KLM", "PH-BXA", 1, false},
                     {"DLH", "A320", "Sample Unknown", "D-UNKN", 1, false}};
  IcaoAirlines.insert("CLH");
  lf_logCodeConversions();
  EXPECT_EQ(
      liveryTexts(ScannedLiveries),
      (Texts{"CLH CRJ9 'Sample CRJ-900 Lufthansa' D-ACNA 1 pax", "DLH A319 'Sample A319 Lufthansa' D-AIBA 1 cargo",
             "KLM B738 'Sample B737 KLM' PH-BXA 1 pax", "DLH A320 'Sample Unknown' D-UNKN 1 pax"}));
  const Texts lines{fmt::format("{:80} D-ACNA airl DLH => CLH", "Sample CRJ-900 Lufthansa"),
                    fmt::format("{:80} D-AIBA cargo false => true", "Sample A319 Lufthansa")};
  EXPECT_EQ(CodeConversions.lines(), lines);
  lf_writeScanReports();
  EXPECT_EQ(readFile(codeConversionsReportPath), lines[0] + "\n" + lines[1] + "\n");
  EXPECT_NE(
      log().find("2 liveries updated with real live data from dbase, see output/info/AirlineModelConversions.txt"),
      std::string::npos);
}

}  // namespace
}  // namespace cvl
