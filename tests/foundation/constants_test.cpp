#include "foundation/constants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "foundation/random.h"
#include "support/temp_folder.h"

namespace cvl {
namespace {

using test::ScopedEnvironment;
using test::TempFolder;

TEST(Constants, JoinedPathsUseThePlatformSeparator) {
  EXPECT_EQ(dbaseEncPath.string(), "input/dbase.enc");
  EXPECT_EQ(learnedThirdpartyFolder.string(), "airports/learned/thirdparty");
  EXPECT_EQ(scannedLiveriesPath.string(), "output/LiveriesScanned.xml");
  EXPECT_EQ(tbloZipPath.string(), "tblo.zip");
}

TEST(Constants, SettingsLieInTheRoamingFolder) {
  const TempFolder home;
  const ScopedEnvironment config{"XDG_CONFIG_HOME", home.path().string()};
  EXPECT_EQ(appDataFolder(), home.path() / "Corvalen");
  EXPECT_EQ(parametersPath(), home.path() / "Corvalen" / "parameters.xml");
}

TEST(Constants, SettingsFolderIsRelativeWhenTheUserFolderIsUnknown) {
  const ScopedEnvironment config{"XDG_CONFIG_HOME", std::nullopt};
  const ScopedEnvironment home{"HOME", std::nullopt};
  EXPECT_EQ(appDataFolder(), std::filesystem::path{"Corvalen"});
  EXPECT_EQ(parametersPathUtf8(), "Corvalen/parameters.xml");
}

TEST(Constants, SettingsPathTextIsUtf8WithNonAsciiFolderNames) {
  const TempFolder home;
  const auto user = home.path() / "Jos\xC3\xA9 \xE5\x8C\x97";
  const ScopedEnvironment config{"XDG_CONFIG_HOME", user.string()};
  EXPECT_EQ(parametersPathUtf8(), user.string() + "/Corvalen/parameters.xml");
}

TEST(Constants, ProgramVersionIsTheParsedText) {
  EXPECT_EQ(programVersion, VersionData{"11.10.3"});
  EXPECT_EQ(programVersion.toString(), "11.10.3");
}

TEST(Constants, EveryMotionTableAnswersForAllSixCategoriesOnly) {
  for (const auto* table :
       {&categoryFlareTicks, &categoryTouchdownTicks, &categoryRotationTicks, &categoryClimbPitchTicks}) {
    EXPECT_EQ(table->size(), 6U);
    EXPECT_THROW((void)table->at(static_cast<AcCategory>(6)), std::out_of_range);
  }
  for (const auto* table : {&categoryRotationPitch, &categoryClimbPitch, &categoryTurnStep}) {
    EXPECT_EQ(table->size(), 6U);
    EXPECT_THROW((void)table->at(static_cast<AcCategory>(6)), std::out_of_range);
  }
  EXPECT_EQ(categoryFlareTicks.at(AcCategory::Large), 400);
  EXPECT_EQ(categoryTouchdownTicks.at(AcCategory::Large), 350);
  EXPECT_EQ(categoryClimbPitchTicks.at(AcCategory::Heavy), 400);
  EXPECT_DOUBLE_EQ(categoryClimbPitch.at(AcCategory::Large), -16.5);
  EXPECT_DOUBLE_EQ(categoryTurnStep.at(AcCategory::Large), 0.07 * 3.141592653589793 / 180.0);
}

TEST(Constants, LightPitchesVaryByExactlyTheirPercentages) {
  for (int draw = 0; draw < 16; ++draw) {
    const double rotation = gf_randomVariation(categoryRotationPitch.at(AcCategory::Light), 2.5);
    EXPECT_NEAR(std::abs(rotation + 9.0), 0.225, 1e-12) << rotation;
    const double climb = gf_randomVariation(categoryClimbPitch.at(AcCategory::Light), 5.0);
    EXPECT_NEAR(std::abs(climb + 15.0), 0.75, 1e-12) << climb;
  }
}

}  // namespace
}  // namespace cvl
