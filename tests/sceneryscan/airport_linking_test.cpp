#include "sceneryscan/airport_linking.h"

#include <filesystem>

#include "generated_file.h"
#include "scan_fixture.h"
#include "sceneryscan/non_complying_airports.h"
#include "sceneryscan/scanned_airport_files.h"

namespace cvl::test {
namespace {

namespace fs = std::filesystem;

class AirportLinkingTest : public SceneryScanTest {
 protected:
  AirportLinkingTest() { addonScanSucceeded = false; }

  static ApfData airportOf(std::string code) {
    ApfData apf;
    apf.code = std::move(code);
    return apf;
  }
  static ParkPos stand(std::string id, bool heli = false) {
    return ParkPos{std::move(id), {}, StandPlace{51.47, -0.46, 1.0}, 30.0, false, !heli, heli};
  }
};

TEST_F(AirportLinkingTest, ASimaddonAirportOfTheArchiveGetsARedirect) {
  auto egll = airportOf("EGLL");
  ASSERT_TRUE(lf_linkAirport(egll, "Community/asobo-airport-egll/scenery/x.bgl"));

  EXPECT_EQ(egll.publisher, "simaddon");
  EXPECT_EQ(egll.BGLpath, "Community/asobo-airport-egll/scenery/x.bgl");
  EXPECT_EQ(readFile("airports/my_simaddon/EGLL.txt"), "archive/simaddon/EGLL.xml\n");
  EXPECT_TRUE(scanLogHas("simaddon airport EGLL linked to archive/simaddon/EGLL.xml"));
  EXPECT_TRUE(addonScanSucceeded);
}

TEST_F(AirportLinkingTest, ASimaddonAirportOutsideTheArchiveIsGeneratedInMySimaddon) {
  auto eddf = airportOf("EDDF");
  EXPECT_FALSE(lf_linkAirport(eddf, "Community/asobo-airport-eddf/x.bgl"));
  EXPECT_TRUE(scanLogHas("EDDF does not exist as simaddon"));
  eddf.positions = {stand("B2"), stand("A1")};

  lf_generatePositionsFile(eddf);

  const auto file = readGenerated("airports/my_simaddon/EDDF.xml");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->ids(), (std::vector<std::string>{"A1", "B2"}));
  EXPECT_EQ(file->parameters.at("publisher"), "simaddon");
  EXPECT_EQ(file->parameters.count("BGLpath"), 0U);
  EXPECT_TRUE(scanLogHas("Generated EDDF.xml: 2 positions"));
  EXPECT_TRUE(addonScanSucceeded);
}

TEST_F(AirportLinkingTest, AThirdpartyAirportLinksToItsPublishersArchiveFolder) {
  auto eddx = airportOf("EDDX");
  ASSERT_TRUE(lf_linkAirport(eddx, "Community/big-airports-eddx/x.bgl"));
  EXPECT_EQ(readFile("airports/my_thirdparty/EDDX.txt"), "archive/thirdparty/Big%20Airports%20Inc/EDDX.xml\n");
  EXPECT_TRUE(scanLogHas("thirdparty airport EDDX linked to archive/thirdparty/Big%20Airports%20Inc/EDDX.xml"));
  EXPECT_TRUE(logHas("==> Big Airports Inc EDDX EDDX invalid number\n"));
}

TEST_F(AirportLinkingTest, AnArchiveEntryMatchesByItsFirstFourCharacters) {
  EXPECT_TRUE(lf_matchArptsEntry("Big Airports Inc", "EDDF", "EDDF2"));
  EXPECT_FALSE(logHas("invalid number"));
  EXPECT_TRUE(lf_matchArptsEntry("Big Airports Inc", "EDDF", "EDDF-12"));
  EXPECT_TRUE(lf_matchArptsEntry("Big Airports Inc", "EDDF", "EDDFX"));
  EXPECT_TRUE(logHas("==> Big Airports Inc EDDF EDDFX invalid number\n"));
  EXPECT_TRUE(lf_matchArptsEntry("Big Airports Inc", "EDDF", "EDDF99999999999"));
  EXPECT_TRUE(logHas("EDDF99999999999 invalid number\n"));
  EXPECT_FALSE(lf_matchArptsEntry("Big Airports Inc", "EDDF", "EDD"));
  EXPECT_FALSE(lf_matchArptsEntry("Big Airports Inc", "EDDF", "XEDDF"));
}

TEST_F(AirportLinkingTest, OnlyTheCurrentSimulatorsListAndTheExactPublisherCount) {
  EXPECT_FALSE(lf_existsAsThirdparty("Northwind Sceneries", "LOWW"));
  EXPECT_TRUE(scanLogHas("thirdparty Northwind Sceneries LOWW does not exist"));
  EXPECT_FALSE(lf_existsAsThirdparty("northwind sceneries", "EDDF"));
  EXPECT_EQ(lf_existsAsThirdparty("Northwind Sceneries", "EDDF"), "archive/thirdparty/Northwind%20Sceneries/EDDF.xml");
  msfs2020Mode = false;
  EXPECT_EQ(lf_existsAsThirdparty("Northwind Sceneries", "LOWW"), "archive/thirdparty/Northwind%20Sceneries/LOWW.xml");
}

TEST_F(AirportLinkingTest, AnUnknownPublishersAirportIsGeneratedWithItsManifestTexts) {
  put("Community/pkg/manifest.json", R"({"manufacturer": "Tiny Maker", "creator": "Jo"})");
  auto egll = airportOf("EGLL");
  EXPECT_FALSE(lf_linkAirport(egll, "Community/pkg/x.bgl"));
  egll.positions = {stand("A1"), stand("helipad1", true), stand("helipad2", true)};

  lf_generatePositionsFile(egll);

  const auto file = readGenerated("airports/my_thirdparty/EGLL.xml");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->parameters.at("manufacturer"), "Tiny Maker");
  EXPECT_EQ(file->parameters.at("creator"), "Jo");
  EXPECT_EQ(file->parameters.at("BGLpath"), "Community/pkg/x.bgl");
  EXPECT_TRUE(scanLogHas("Generated EGLL.xml: 3 positions, of which 2 helipads"));
}

TEST_F(AirportLinkingTest, AnAirportWithoutStandsLeavesNoFile) {
  auto egll = airportOf("EGLL");
  lf_generatePositionsFile(egll);
  EXPECT_FALSE(fs::exists("airports/my_thirdparty/EGLL.xml"));
  EXPECT_FALSE(addonScanSucceeded);
}

TEST_F(AirportLinkingTest, NonComplyingAirportsAreFoundByStemTitleOrPath) {
  put("Community/northwind-sceneries-x/LOWW.bgl", "");
  EXPECT_EQ(lf_findNonComplyingIcao("Community/northwind-sceneries-x/loww.bgl"), "LOWW");

  put("Community/pkg-a/manifest.json", R"({"title": "eddf frankfurt"})");
  EXPECT_EQ(lf_findNonComplyingIcao("Community/pkg-a/scenery/x.bgl"), "EDDF");
  EXPECT_TRUE(scanLogHas("Non complying airport has ICAO 'EDDF' in title 'eddf frankfurt' of manifest"));

  put("Community/pkg-b-egll-v2/manifest.json", R"({"title": "London"})");
  EXPECT_EQ(lf_findNonComplyingIcao("Community/pkg-b-egll-v2/x.bgl"), "EGLL");
  EXPECT_TRUE(scanLogHas("Non complying airport has ICAO 'EGLL' in BGL path 'Community/pkg-b-egll-v2/x.bgl'"));

  // Without a manifest neither the title nor the path is asked.
  EXPECT_EQ(lf_findNonComplyingIcao("Community/pkg-c-egll-v2/x.bgl"), "");
  EXPECT_TRUE(scanLogHas("==================> Non complying airport lost ... 'Community/pkg-c-egll-v2/x.bgl'"));
}

TEST_F(AirportLinkingTest, AFailedRedirectIsNoLink) {
  put("airports/my_thirdparty/EDDX.txt/blocker", "a folder where the redirect belongs");
  auto eddx = airportOf("EDDX");
  EXPECT_FALSE(lf_linkAirport(eddx, "Community/big-airports-eddx/x.bgl"));
  EXPECT_FALSE(addonScanSucceeded);
  EXPECT_TRUE(scanLogHas("===> Writing airports/my_thirdparty/EDDX.txt did not succeed"));
}

}  // namespace
}  // namespace cvl::test
