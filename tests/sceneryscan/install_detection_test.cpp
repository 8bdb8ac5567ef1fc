#include "sceneryscan/install_detection.h"

#include <filesystem>
#include <optional>
#include <string>

#include "foundation/settings_catalogue.h"
#include "scan_fixture.h"

namespace cvl::test {
namespace {

namespace fs = std::filesystem;

class InstallDetectionTest : public SceneryScanTest {
 protected:
  ~InstallDetectionTest() override {
    MSFS_INSTALL_PATH.value = std::string{};
    MSFS_2024_INSTALL_PATH.value = std::string{};
  }

  fs::path steamPackages() const { return roaming() / "Microsoft Flight Simulator" / "Packages"; }
  fs::path storeUserCfg() const {
    return local() / "Packages" / "Microsoft.FlightSimulator_8wekyb3d8bbwe" / "LocalCache" / "UserCfg.opt";
  }
  fs::path boxedUserCfg() const { return local() / "MSFSPackages" / "UserCfg.opt"; }

  static void makeRoot(const fs::path& root, const fs::path& ownFolder) {
    fs::create_directories(root / "Community");
    fs::create_directories(root / ownFolder);
  }
  static std::string installedPackagesLine(const fs::path& root) {
    return "InstalledPackagesPath \"" + root.string() + "\"\n";
  }
};

TEST_F(InstallDetectionTest, SteamPackagesWithCommunityAndOfficialAreFoundWithoutUserCfg) {
  makeRoot(steamPackages(), "Official");

  EXPECT_EQ(gf_installPath(), steamPackages());
  EXPECT_TRUE(logHas("Steam packages:" + steamPackages().string() + "\n"));
  EXPECT_FALSE(logHas("MSFS detection"));
}

TEST_F(InstallDetectionTest, SteamPackagesWithoutOfficialAreRejectedAndUserCfgIsReadNext) {
  fs::create_directories(steamPackages() / "Community");
  const auto boxedRoot = folder() / "MSFS" / "Packages";
  makeRoot(boxedRoot, "Official");
  put(boxedUserCfg(), "Version 1\r\n" + installedPackagesLine(boxedRoot) + "InstalledPackagesPath \"elsewhere\"\n");

  EXPECT_EQ(gf_installPath(), boxedRoot);
  EXPECT_TRUE(logHas("MSFS detection, no Store:" + storeUserCfg().string() + "\n"));
  EXPECT_TRUE(logHas("UserCfg.opt: InstalledPackagesPath=" + boxedRoot.string() + "\n"));
}

TEST_F(InstallDetectionTest, TheStorePlaceIsTriedFirstAndTheBoxedPlaceLast) {
  EXPECT_EQ(gf_detectMsfs(), boxedUserCfg());
  EXPECT_TRUE(logHas("MSFS detection, no Boxed:" + boxedUserCfg().string() + "\n"));

  put(boxedUserCfg(), "");
  put(storeUserCfg(), "");
  EXPECT_EQ(gf_detectMsfs(), storeUserCfg());
}

TEST_F(InstallDetectionTest, AnEmptyOrMissingInstalledPackagesPathGivesNothing) {
  put(boxedUserCfg(), "InstalledPackagesPath \"\"\n");
  EXPECT_EQ(lf_readUserCfgOpt(), fs::path{});
  EXPECT_TRUE(logHas("UserCfg.opt: InstalledPackagesPath=???\n"));

  put(boxedUserCfg(), installedPackagesLine(folder() / "not there"));
  EXPECT_EQ(lf_readUserCfgOpt(), fs::path{});

  fs::remove(boxedUserCfg());
  EXPECT_EQ(gf_installPath(), fs::path{});
  EXPECT_TRUE(logHas("No UserCfg.opt found?\n"));
}

TEST_F(InstallDetectionTest, TheOptionValueStandsBetweenTheFirstTwoQuotes) {
  EXPECT_EQ(lf_installedPackagesPath({"UseRaytracing 1", R"(InstalledPackagesPath "D:\MSFS\Packages" "x")"}),
            R"(D:\MSFS\Packages)");
  EXPECT_EQ(lf_installedPackagesPath({R"(InstalledPackagesPath "D:\MSFS)"}), "");
  EXPECT_EQ(lf_installedPackagesPath({"InstalledPackagesPath D:"}), "");
  EXPECT_EQ(lf_installedPackagesPath({}), "");
}

TEST_F(InstallDetectionTest, Msfs2024NeedsItsOwnPackageFolder) {
  msfs2020Mode = false;
  const auto steam2024 = roaming() / "Microsoft Flight Simulator 2024" / "Packages";
  makeRoot(steam2024, "Official");
  EXPECT_FALSE(lf_validInstallPath(steam2024));
  EXPECT_EQ(gf_installPath(), fs::path{});

  fs::create_directories(steam2024 / "Official2024");
  EXPECT_EQ(gf_installPath(), steam2024);
}

TEST_F(InstallDetectionTest, UnknownUserFoldersNeverLeadToFoldersOfTheProgram) {
  // Relative to the program's folder these places would exist.
  makeRoot(fs::path{"Microsoft Flight Simulator"} / "Packages", "Official");
  put(fs::path{"MSFSPackages"} / "UserCfg.opt", installedPackagesLine(folder()));
  const ScopedEnvironment noConfig{"XDG_CONFIG_HOME", std::nullopt};
  const ScopedEnvironment noData{"XDG_DATA_HOME", std::nullopt};
  const ScopedEnvironment noHome{"HOME", std::nullopt};

  EXPECT_EQ(gf_installPath(), fs::path{});
}

TEST_F(InstallDetectionTest, PackagePathsFollowTheChosenSimulatorsSetting) {
  MSFS_INSTALL_PATH.value = "/sim/2020";
  EXPECT_EQ(gf_packagePath("Community"), fs::path{"/sim/2020/Community"});

  msfs2020Mode = false;
  EXPECT_EQ(gf_packagePath("Community"), fs::path{"Community"});
  MSFS_2024_INSTALL_PATH.value = "/sim/2024";
  EXPECT_EQ(gf_packagePath("Official"), fs::path{"/sim/2024/Official"});
}

}  // namespace
}  // namespace cvl::test
