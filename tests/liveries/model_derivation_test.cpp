#include "liveries/model_derivation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan_fixture.h"

namespace cvl {
namespace {

using Lines = std::vector<std::string>;

class ModelDerivation : public test::LiveryScanTest {
 protected:
  const std::filesystem::path path{"Community/pkg/SimObjects/Airplanes/x/aircraft.cfg"};
};

TEST_F(ModelDerivation, TheFirstTypeDesignatorOfTheWholeFileCounts) {
  EXPECT_EQ(lf_getModelOfCfg(
                path, {"[fltsim.0]", "title = x", "icao_type_designator = b738w", "icao_type_designator = A320"}),
            "B738");
  EXPECT_EQ(lf_getModelOfCfg(path, {"icao_type_designator = \"\"", "icao_type_designator = a20n"}), "A20N");
  EXPECT_TRUE(CodeFixes.empty());
  EXPECT_TRUE(InvalidModelCodes.empty());
}

TEST_F(ModelDerivation, UnknownCodesAreFixedOncePerFileOrReported) {
  EXPECT_EQ(lf_getModelOfCfg(path, {"icao_type_designator = B77F", "[fltsim.0]", "[fltsim.1]"}), "B77L");
  EXPECT_EQ(CodeFixes.lines(), (Lines{"Model fix: B77F found in " + path.string() + " changed into B77L"}));
  EXPECT_EQ(lf_getModelOfCfg(path, {"icao_type_designator = XYZ1"}), "");
  EXPECT_EQ(InvalidModelCodes.lines(), (Lines{"XYZ1             in " + path.string()}));
}

TEST_F(ModelDerivation, WithoutDesignatorTheStockAircraftOfTheBaseContainerGivesTheModel) {
  KnownTypes.insert("C25C");
  EXPECT_EQ(lf_getModelOfCfg(path, {R"(base_container = "..\Asobo_A320_NEO")"}), "A20N");
  EXPECT_EQ(lf_getModelOfCfg(path, {R"(base_container = ../Asobo_CJ4)"}), "C25C");
  EXPECT_EQ(lf_matchBaseContainer(R"(base_container = "Asobo_A320_NEO")"), "") << "loses its first three characters";
  EXPECT_EQ(lf_matchBaseContainer(R"(base_container = "..\asobo_a320_neo")"), "") << "names compare with case";
  EXPECT_EQ(lf_matchBaseContainer(R"(base_container = "..\")"), "");
  EXPECT_EQ(StockModelTypes.size(), 30U);
}

TEST_F(ModelDerivation, AFileWithoutEitherLineHasNoModel) {
  EXPECT_EQ(lf_getModelOfCfg(path, {"[fltsim.0]", R"(base_container = "..\Vendor_A320")"}), "");
  EXPECT_EQ(lf_getModelOfCfg("Community/fnx-aircraft-320/SimObjects/aircraft.cfg", {"[fltsim.0]"}), "");
  EXPECT_EQ(lf_getModelOfCfg("Community/pmdg-aircraft-737/SimObjects/aircraft.cfg", {"[fltsim.0]"}), "");
  EXPECT_EQ(InvalidCfgFiles.lines(),
            (Lines{"Line icao_type_designator= is missing in [General] section of " + path.string()}));
}

}  // namespace
}  // namespace cvl
