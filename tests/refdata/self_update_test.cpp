#include "refdata/self_update.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "app/exit_reasons.h"
#include "app/sim_choice.h"
#include "app/status_line.h"
#include "foundation/settings_catalogue.h"
#include "platform/ui/message_box.h"
#include "refdata/site_folder.h"
#include "refdata/version_check.h"
#include "support/http_server.h"
#include "support/recording_opener.h"

namespace cvl {
namespace {

using test::filesIn;
using test::readFile;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::UnorderedElementsAre;

const std::string installerZip = "release/setup_Corvalen_d_v11.10.4.zip";
const std::string normalNotice =
    "A new version is available.\nThe installer can be executed normally (no Administrator rights required).";

// The site offers a newer program; a desktop opener writes down what it was asked to show.
class SelfUpdate : public test::ProgramWithSite {
 protected:
  SelfUpdate() {
    site.layOutSample();
    site.versions({{"msfs", "11.10.4"}, {"simaddon", "1.2.0"}, {"dbase", "1.0.0"}});
    site.file("docs/ReleaseNotes.pdf", "%PDF release notes");
  }

  test::RecordingOpener opener;
};

TEST_F(SelfUpdate, ANewerProgramIsPreparedInNewVersionAndEndsTheRun) {
  // Larger than one extraction piece; of several file entries the last one is the installer.
  const std::string installer = "MZ" + std::string(0x80000 + 1000, '\x90');
  site.zip(installerZip, {{"setup/", ""}, {"setup/first.exe", "first"}, {"setup_Corvalen_d_v11.10.4.exe", installer}});
  std::filesystem::create_directory("new_version");
  test::writeFile("new_version/older_notes.pdf", "old");

  EXPECT_FALSE(gf_checkVersions());

  EXPECT_THAT(requested(),
              ElementsAre("/versions.json", "/release/setup_Corvalen_d_v11.10.4.zip", "/docs/ReleaseNotes.pdf"));
  EXPECT_THAT(filesIn("new_version"),
              UnorderedElementsAre("install_new_version.exe", "ReleaseNotes.pdf", "README.txt"));
  EXPECT_EQ(readFile("new_version/install_new_version.exe"), installer);
  EXPECT_EQ(readFile("new_version/ReleaseNotes.pdf"), "%PDF release notes");
  EXPECT_EQ(readFile("new_version/README.txt"), normalNotice + "\n");
  EXPECT_FALSE(std::filesystem::exists("setup_Corvalen_d_v11.10.4.zip"));
  EXPECT_FALSE(std::filesystem::exists("install_new_version.exe"));
  EXPECT_EQ(opener.openedPath(), (std::filesystem::current_path() / "new_version").string());
  EXPECT_TRUE(stopRequested);
  EXPECT_EQ(exitReason, ExitReason::newVersion);
  EXPECT_EQ(restartDelaySeconds, 0);

  const auto logged = log.body();
  EXPECT_THAT(logged, HasSubstr("msfs program version at web = 11.10.4\n"));
  EXPECT_THAT(logged, HasSubstr("Downloaded setup_Corvalen_d_v11.10.4.zip\n"));
  EXPECT_THAT(logged, HasSubstr("setup_Corvalen_d_v11.10.4.zip unzipped to install_new_version.exe\n"));
  EXPECT_THAT(logged, HasSubstr(normalNotice + "\n"));
  EXPECT_THAT(logged, testing::Not(HasSubstr("dbase")));
}

TEST_F(SelfUpdate, AFolderThatCannotBeShownIsReportedAndTheRunStillEnds) {
  site.zip(installerZip, {{"setup_Corvalen_d_v11.10.4.exe", "MZ installer"}});
  const test::RecordingOpener failingOpener{4};

  EXPECT_FALSE(gf_checkVersions());

  const std::string failure =
      "Opening file explorer at the new version failed? Try manually via the Mardelwyn website.";
  EXPECT_EQ(gf_statusText(), failure);
  EXPECT_THAT(log.body(), HasSubstr(failure + "\n"));
  const auto newFolder = (std::filesystem::current_path() / "new_version").string();
  EXPECT_THAT(ui::shownMessageBoxes(),
              testing::Contains("Could not open File Explorer at new version\nThe installer is in " + newFolder));
  EXPECT_THAT(log.body(), HasSubstr("The installer of the new version is in " + newFolder + "\n"));
  EXPECT_EQ(readFile("new_version/install_new_version.exe"), "MZ installer");
  EXPECT_EQ(exitReason, ExitReason::newVersion);
}

TEST_F(SelfUpdate, AMissingOrDamagedInstallerLetsTheStartUpGoOn) {
  // An installer left by an earlier attempt is no substitute.
  test::writeFile("install_new_version.exe", "stale");
  EXPECT_TRUE(gf_checkVersions());
  EXPECT_THAT(log.body(), HasSubstr("==> install_new_version.exe does not exists?\n"));

  site.file(installerZip, "not a zip");
  EXPECT_TRUE(gf_checkVersions());
  EXPECT_THAT(log.body(), HasSubstr("==> Could not open setup_Corvalen_d_v11.10.4.zip\n"));

  EXPECT_EQ(gf_statusText(),
            "Downloading program installer file version 11.10.4 failed | The downloading/unzipping of the new version "
            "failed? Try manually via the Mardelwyn website.");
  EXPECT_THAT(log.body(), HasSubstr("==> The downloading/unzipping of the new version failed? Try manually via the "
                                    "Mardelwyn website.\n"));
  EXPECT_TRUE(filesIn("new_version").empty());
  EXPECT_FALSE(std::filesystem::exists("setup_Corvalen_d_v11.10.4.zip"));
  EXPECT_FALSE(stopRequested);
  EXPECT_TRUE(readFile("input/dbase.enc") == readFile(site.path() / "11/dbase.enc"));  // the check went on
}

TEST_F(SelfUpdate, AStopDuringTheInstallersOrTheNotesDownloadIsNoFailureOfTheSite) {
  site.zip(installerZip, {{"setup_Corvalen_d_v11.10.4.exe", "MZ installer"}});
  for (const std::string& stalled : {installerZip, std::string{"docs/ReleaseNotes.pdf"}}) {
    SCOPED_TRACE(stalled);
    const auto logStart = log.body().size();
    test::HttpServer stallingSite{site.path()};
    const test::ScopedEnvironment stallingUrl{"CORVALEN_SITE_URL", stallingSite.url()};
    stallingSite.stall("/" + stalled);
    std::thread stopper{[&stallingSite] {
      stallingSite.waitUntilStalled();
      stopRequested = true;
    }};
    gf_checkVersions();
    stopper.join();
    stopRequested = false;
    exitReason = ExitReason::notYetSet;

    const auto logged = log.body().substr(logStart);
    EXPECT_THAT(logged, HasSubstr(fmt::format("Download of {} stopped\n", stallingSite.url(stalled))));
    EXPECT_THAT(logged, testing::Not(HasSubstr("failed")));
    EXPECT_THAT(logged, testing::Not(HasSubstr("does not exist")));
    EXPECT_THAT(logged, testing::Not(HasSubstr("could not download")));
  }
}

class SimAddonUpdate : public SelfUpdate {
 protected:
  SimAddonUpdate() {
    msfs2020Mode = false;
    site.versions({{"msfs", "11.10.3"}, {"simaddon", "1.2.0"}});
  }
};

TEST_F(SimAddonUpdate, EveryFileEntryLandsInTheFolderAsText) {
  site.zip("mysimaddon24/my_simaddon2024.zip", {{"EDDF.cfg", "EDDF redirect"},
                                                {"sub/EDDM.txt", "EDDM"},
                                                {"sub/", ""},
                                                {"../../evil.cfg", "escape"},
                                                {"/abs/ABS.cfg", "absolute"},
                                                {"a\\..\\..\\win.cfg", "backslashes"},
                                                {".hidden", "dot"}});

  EXPECT_TRUE(gf_checkVersions());

  EXPECT_THAT(filesIn("airports/my_simaddon"),
              UnorderedElementsAre("EDDF.txt", "EDDM.txt", "evil.txt", "ABS.txt", "win.txt", ".hidden.txt"));
  EXPECT_EQ(readFile("airports/my_simaddon/EDDF.txt"), "EDDF redirect");
  EXPECT_THAT(filesIn("."), UnorderedElementsAre("Log.txt", "input", "airports"));
  EXPECT_THAT(filesIn("airports"), ElementsAre("my_simaddon"));
  EXPECT_EQ(MYSIMADDON24_VERSION.getValue(), "1.2.0");
  EXPECT_EQ(test::storedSetting("MYSIMADDON24_VERSION"), "1.2.0");
  EXPECT_EQ(gf_statusText(), "my_simaddon2024.zip unzipped 6 files");
  EXPECT_THAT(log.body(), HasSubstr("simaddon updated to 1.2.0\n"));

  EXPECT_TRUE(gf_checkVersions());
  EXPECT_THAT(log.body(), HasSubstr("simaddon version up-to-date\n"));
  const auto paths = requested();
  EXPECT_EQ(std::count(paths.begin(), paths.end(), "/mysimaddon24/my_simaddon2024.zip"), 1);
}

// Flips the last byte of the last entry's data, which lies right before the central directory: the archive still
// opens and lists its entries, but that entry fails its checksum.
void damageLastEntry(const std::filesystem::path& zipPath) {
  auto bytes = readFile(zipPath);
  const auto directory = bytes.find("PK\x01\x02");
  ASSERT_NE(directory, std::string::npos);
  bytes[directory - 1] = static_cast<char>(~bytes[directory - 1]);
  test::writeFile(zipPath, bytes);
}

TEST_F(SimAddonUpdate, ADamagedZipKeepsTheDataAlreadyThereUntilTheSiteIsRepaired) {
  const auto zipOnSite = site.path() / "mysimaddon24/my_simaddon2024.zip";
  const auto goodZip = readFile(zipOnSite);
  std::filesystem::create_directories("airports/my_simaddon");
  test::writeFile("airports/my_simaddon/EDDF.txt", "old EDDF");
  test::writeFile("airports/my_simaddon/EHAM.txt", "old EHAM");
  MYSIMADDON24_VERSION.setValue("1.1.0");

  site.file("mysimaddon24/my_simaddon2024.zip", "not a zip");
  EXPECT_TRUE(gf_checkVersions());
  EXPECT_THAT(log.body(), HasSubstr("==> Could not open my_simaddon2024.zip\n==> simaddon update to 1.2.0 failed, "
                                    "airports/my_simaddon left as it was\n"));

  site.zip("mysimaddon24/my_simaddon2024.zip",
           {{"EDDF.cfg", "new EDDF"}, {"EDDM.cfg", "new EDDM"}, {"EGLL.cfg", std::string(300, 'x') + "new EGLL"}});
  damageLastEntry(zipOnSite);
  EXPECT_TRUE(gf_checkVersions());
  EXPECT_THAT(log.body(), HasSubstr("==> Could not read EGLL.cfg from my_simaddon2024.zip: CRC error\n"));
  EXPECT_THAT(log.body(), testing::Not(HasSubstr("unzipped")));

  for (const auto& [name, text] : {std::pair{"EDDF.txt", "old EDDF"}, std::pair{"EHAM.txt", "old EHAM"}}) {
    EXPECT_EQ(readFile(std::filesystem::path{"airports/my_simaddon"} / name), text);
  }
  EXPECT_THAT(filesIn("airports/my_simaddon"), UnorderedElementsAre("EDDF.txt", "EHAM.txt"));
  EXPECT_EQ(test::storedSetting("MYSIMADDON24_VERSION"), "1.1.0");
  EXPECT_FALSE(std::filesystem::exists("my_simaddon2024.zip"));

  test::writeFile(zipOnSite, goodZip);
  EXPECT_TRUE(gf_checkVersions());
  EXPECT_THAT(filesIn("airports/my_simaddon"), ElementsAre("EDDF.txt"));
  EXPECT_EQ(readFile("airports/my_simaddon/EDDF.txt"), "archive/simaddon/EDDF.xml\n");
  EXPECT_EQ(test::storedSetting("MYSIMADDON24_VERSION"), "1.2.0");
  EXPECT_THAT(log.body(), HasSubstr("simaddon updated to 1.2.0\n"));
}

TEST_F(SimAddonUpdate, OnlyTheFilesOfTheFolderAreReplacedItsSubfoldersAndItsLinkStay) {
  std::filesystem::create_directories("elsewhere/simaddon/mine");
  test::writeFile("elsewhere/simaddon/EHAM.txt", "old EHAM");
  test::writeFile("elsewhere/simaddon/mine/notes.txt", "kept by the user");
  std::filesystem::create_directories("airports/my_simaddon/mine");
  test::writeFile("airports/my_simaddon/EHAM.txt", "old EHAM");
  test::writeFile("airports/my_simaddon/mine/notes.txt", "kept by the user");
  for (const bool linked : {false, true}) {
    SCOPED_TRACE(linked ? "linked folder" : "folder");
    const std::filesystem::path folder{linked ? "elsewhere/simaddon" : "airports/my_simaddon"};
    if (linked) {
      std::filesystem::remove_all("airports/my_simaddon");
      std::filesystem::create_directory_symlink(std::filesystem::absolute(folder), "airports/my_simaddon");
    }
    MYSIMADDON24_VERSION.setValue("1.1.0");

    EXPECT_TRUE(gf_checkVersions());

    EXPECT_EQ(std::filesystem::is_symlink("airports/my_simaddon"), linked);
    EXPECT_THAT(filesIn(folder), UnorderedElementsAre("EDDF.txt", "mine"));
    EXPECT_EQ(readFile(folder / "EDDF.txt"), "archive/simaddon/EDDF.xml\n");
    EXPECT_EQ(readFile(folder / "mine/notes.txt"), "kept by the user");
    EXPECT_THAT(filesIn("airports"), ElementsAre("my_simaddon"));
    EXPECT_EQ(test::storedSetting("MYSIMADDON24_VERSION"), "1.2.0");
  }
}

TEST_F(SimAddonUpdate, AZipThatCannotBeWrittenWholeKeepsTheDataAlreadyThere) {
  std::filesystem::create_directories("airports/my_simaddon/kept.txt");
  test::writeFile("airports/my_simaddon/EDDF.txt", "old EDDF");
  test::writeFile("airports/my_simaddon/kept.txt/notes.txt", "kept by the user");
  MYSIMADDON24_VERSION.setValue("1.1.0");
  struct Zip {
    std::string why;
    test::SiteFolder::Entries entries;
  };
  const std::vector<Zip> zips{
      {"==> Failed to write file: airports/my_simaddon_unzipped/NNN",
       {{"EDDF.cfg", "new EDDF"}, {std::string(300, 'N') + ".cfg", "a name too long for the file system"}}},
      {"==> my_simaddon2024.zip holds no files\n", {{"sub/", ""}}},
      // A subfolder the user named like a file of the zip: that file cannot take its place.
      {"==> Could not put airports/my_simaddon_unzipped in place of airports/my_simaddon: ",
       {{"EDDF.cfg", "new EDDF"}, {"kept.cfg", "new kept"}}},
  };
  for (const auto& [why, entries] : zips) {
    SCOPED_TRACE(why);
    gf_releaseStatusNotices();  // each pass is a start of its own, and the last one's run has started
    site.zip("mysimaddon24/my_simaddon2024.zip", entries);
    const auto logStart = log.body().size();

    EXPECT_TRUE(gf_checkVersions());

    EXPECT_THAT(filesIn("airports/my_simaddon"), UnorderedElementsAre("EDDF.txt", "kept.txt"));
    EXPECT_EQ(readFile("airports/my_simaddon/EDDF.txt"), "old EDDF");
    EXPECT_EQ(readFile("airports/my_simaddon/kept.txt/notes.txt"), "kept by the user");
    EXPECT_THAT(filesIn("airports"), ElementsAre("my_simaddon"));
    EXPECT_EQ(test::storedSetting("MYSIMADDON24_VERSION"), "1.1.0");
    const auto logged = log.body().substr(logStart);
    EXPECT_THAT(logged, HasSubstr(why));
    EXPECT_THAT(logged, HasSubstr("==> simaddon update to 1.2.0 failed, airports/my_simaddon left as it was\n"));
    EXPECT_THAT(logged, testing::Not(HasSubstr("my_simaddon2024.zip unzipped")));
    EXPECT_FALSE(std::filesystem::exists("my_simaddon2024.zip"));
  }
}

}  // namespace
}  // namespace cvl
