#include "refdata/version_check.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <gsl/util>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "app/exit_reasons.h"
#include "app/sim_choice.h"
#include "app/status_line.h"
#include "foundation/settings_catalogue.h"
#include "refdata/aircraft_database.h"
#include "refdata/airports_database.h"
#include "refdata/data_file_check.h"
#include "refdata/data_file_sealing.h"
#include "refdata/program_folder.h"
#include "refdata/registration_files.h"
#include "refdata/site_folder.h"
#include "support/unreadable_file.h"
#include "support/unwritable_folders.h"

namespace cvl {
namespace {

using test::readFile;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;
using testing::UnorderedElementsAre;

class VersionCheck : public test::ProgramWithSite {
 protected:
  VersionCheck() {
    std::filesystem::create_directory("output");
    SCAN_LIVERIES.value = false;
    SCAN_AIRPORTS.value = false;
  }
};

TEST_F(VersionCheck, NewerOrMissingDataIsFetchedAndEqualDataIsLeftAlone) {
  site.layOutSample();
  site.versions({{"msfs", "11.10.3"},
                 {"airports", "2.0.0"},
                 {"aig", "3.1.0"},
                 {"liveries", "1.0.0"},
                 {"addons", "1.0.0"},
                 {"dbase", "0.0.0"},
                 {"unknown", "9.9.9"}});
  AIRPORTS_VERSION.value = "2.0.0";  // equal, but the file is missing
  AIG_VERSION.value = "3.0.9";
  test::writeFile("input/AIG-regcodes.enc", "old");
  gf_writeSealedDataFile("input/dbase.enc", readFile(test::sampleDataFolder() / "dbase.xml"));
  const auto installedDbase = readFile("input/dbase.enc");  // DBASE_VERSION empty: 0.0.0, equal to the site's
  LIV_SCAN_VERSION.value = "1.0.0";                         // equal, but there is no scan data
  ADDONS_SCAN_VERSION.value = "1.0.0";                      // equal: no scan, whatever is missing

  EXPECT_TRUE(gf_checkVersions());

  EXPECT_THAT(requested(), ElementsAre("/versions.json", "/11/airports.enc", "/11/AIG-regcodes.enc"));
  EXPECT_TRUE(readFile("input/airports.enc") == readFile(site.path() / "11/airports.enc"));
  EXPECT_TRUE(readFile("input/AIG-regcodes.enc") == readFile(site.path() / "11/AIG-regcodes.enc"));
  EXPECT_TRUE(readFile("input/dbase.enc") == installedDbase);
  EXPECT_EQ(AIG_VERSION.getValue(), "3.1.0");
  EXPECT_EQ(DBASE_VERSION.getValue(), "");
  EXPECT_TRUE(SCAN_LIVERIES.value);
  EXPECT_FALSE(SCAN_AIRPORTS.value);
  EXPECT_FALSE(std::filesystem::exists(versionsJsonPath));
  EXPECT_EQ(test::storedSetting("AIG_VERSION"), "3.1.0");
  EXPECT_EQ(test::storedSetting("SCAN_LIVERIES"), "true");

  const auto logged = log.body();
  EXPECT_THAT(logged, HasSubstr("msfs program version at web = 11.10.3\nmsfs version up-to-date\n"));
  EXPECT_THAT(logged, Not(HasSubstr("simaddon")));
  EXPECT_THAT(logged, HasSubstr("airports updated to 2.0.0\n"));
  EXPECT_THAT(logged, HasSubstr("aig updated to 3.1.0\n"));
  EXPECT_THAT(logged, HasSubstr("liveries updated to 1.0.0\n"));
  EXPECT_THAT(logged, HasSubstr("addons version up-to-date\n"));
  EXPECT_THAT(logged, HasSubstr("dbase version up-to-date\n"));
}

TEST_F(VersionCheck, AFailedDownloadKeepsTheFileAndTheStoredVersion) {
  site.versions({{"msfs", "11.10.3"}, {"dbase", "5.0.0"}});
  DBASE_VERSION.value = "4.0.0";
  test::writeFile("input/dbase.enc", "old");
  server.answerStatus("/11/dbase.enc", 500);

  EXPECT_TRUE(gf_checkVersions());

  EXPECT_EQ(readFile("input/dbase.enc"), "old");
  EXPECT_EQ(DBASE_VERSION.getValue(), "4.0.0");
  EXPECT_THAT(log.body(), HasSubstr(fmt::format("==> Downloading '{}' failed !\n", server.url("11/dbase.enc"))));
  EXPECT_THAT(log.body(), Not(HasSubstr("dbase updated")));
}

// The maker's site made by datatool from the sample data, offering version 2.0.0 of every data file, and a program
// folder that holds version 1.0.0 of each, sealed from the same sample.
class DataFileUpdate : public VersionCheck {
 protected:
  struct DataFile {
    std::string key;
    std::string name;
    StringParameter& stored;

    std::filesystem::path plainSample() const {
      return test::sampleDataFolder() / std::filesystem::path{name}.replace_extension(".xml");
    }
    std::string urlPath() const { return "/11/" + name; }
    std::filesystem::path installed() const { return inputFolder / name; }
  };

  DataFileUpdate() {
    site.layOutSample();
    site.versions({{"msfs", "11.10.3"}, {"airports", "2.0.0"}, {"aig", "2.0.0"}, {"dbase", "2.0.0"}});
  }

  void installVersionOne() {
    for (const auto& file : files) {
      gf_writeSealedDataFile(file.installed(), readFile(file.plainSample()));
      file.stored.setValue("1.0.0");
    }
  }

  std::array<DataFile, 3> files{{{"airports", "airports.enc", AIRPORTS_VERSION},
                                 {"aig", "AIG-regcodes.enc", AIG_VERSION},
                                 {"dbase", "dbase.enc", DBASE_VERSION}}};
};

TEST_F(DataFileUpdate, ABrokenDownloadKeepsTheGoodFileAndItsVersionUntilTheSiteIsRepaired) {
  const std::vector<std::pair<std::string, std::function<void(const DataFile&)>>> misbehaviours{
      {"more bytes than announced", [this](const DataFile& file) { server.sendMoreThanAnnounced(file.urlPath()); }},
      {"closed early without a length",
       [this](const DataFile& file) { server.closeEarlyWithoutLength(file.urlPath()); }},
      {"an HTML page with 200", [this](const DataFile& file) { server.answerHtmlPage(file.urlPath()); }},
      {"sealed XML cut short",
       [this](const DataFile& file) {
         const auto plain = readFile(file.plainSample());
         site.file("11/" + file.name, gf_sealDataBytes(plain.substr(0, plain.size() / 2)));
       }},
  };
  std::map<std::string, std::string> onSite;
  for (const auto& file : files) {
    onSite[file.name] = readFile(site.path() / "11" / file.name);
  }
  for (const auto& [what, misbehave] : misbehaviours) {
    SCOPED_TRACE(what);
    gf_releaseStatusNotices();  // each pass is a start of its own, and the last one's run has started
    installVersionOne();
    std::map<std::string, std::string> installed;
    for (const auto& file : files) {
      installed[file.name] = readFile(file.installed());
      misbehave(file);
    }
    const auto logStart = log.body().size();

    EXPECT_TRUE(gf_checkVersions());

    const auto logged = log.body().substr(logStart);
    for (const auto& file : files) {
      EXPECT_TRUE(readFile(file.installed()) == installed[file.name]) << file.name << " was replaced";
      EXPECT_EQ(file.stored.getValue(), "1.0.0") << file.key;
      EXPECT_EQ(test::storedSetting(file.stored.key), "1.0.0") << file.key;
      EXPECT_THAT(logged, HasSubstr(fmt::format("Download error: 'content not usable' for {}\n",
                                                server.url(file.urlPath().substr(1)))));
      EXPECT_THAT(logged, HasSubstr(fmt::format("==> {} update to 2.0.0 failed, {} left as it was\n", file.key,
                                                file.installed().string())));
    }
    EXPECT_THAT(logged, Not(HasSubstr("updated to")));
    EXPECT_EQ(gf_statusText(),
              "airports update to 2.0.0 failed, input/airports.enc left as it was | aig update to 2.0.0 failed, "
              "input/AIG-regcodes.enc left as it was | dbase update to 2.0.0 failed, input/dbase.enc left as it was");
    EXPECT_THAT(test::filesIn(inputFolder), UnorderedElementsAre("airports.enc", "AIG-regcodes.enc", "dbase.enc"));

    for (const auto& file : files) {
      server.repair(file.urlPath());
      site.file("11/" + file.name, onSite[file.name]);
    }
    EXPECT_TRUE(gf_checkVersions());
    for (const auto& file : files) {
      EXPECT_TRUE(readFile(file.installed()) == onSite[file.name]) << file.name << " was not updated";
      EXPECT_EQ(test::storedSetting(file.stored.key), "2.0.0") << file.key;
      EXPECT_THAT(log.body(), HasSubstr(fmt::format("{} updated to 2.0.0\n", file.key)));
    }
  }
}

TEST_F(DataFileUpdate, AStopDuringADataFilesDownloadIsNoFailureOfTheSite) {
  installVersionOne();
  const DataFile& dbase = files[2];
  const auto installed = readFile(dbase.installed());
  server.stall(dbase.urlPath());
  const auto logStart = log.body().size();
  std::thread stopper{[this] {
    server.waitUntilStalled();
    stopRequested = true;
  }};
  gf_checkVersions();
  stopper.join();

  const auto logged = log.body().substr(logStart);
  EXPECT_THAT(logged, HasSubstr(fmt::format("Download of {} stopped\n", server.url(dbase.urlPath().substr(1)))));
  EXPECT_THAT(logged, Not(HasSubstr("failed")));
  EXPECT_EQ(gf_statusText().find("failed"), std::string::npos) << gf_statusText();
  EXPECT_TRUE(readFile(dbase.installed()) == installed);
  EXPECT_EQ(test::storedSetting(dbase.stored.key), "1.0.0");
}

// The text the start-up's reading of the data file ends with, as the error line shows it; empty when it reads.
std::string startUpReadError(const std::function<bool()>& read) {
  try {
    return read() ? "" : "not read";
  } catch (const std::exception& failure) {
    return failure.what();
  }
}

TEST_F(DataFileUpdate, AFileDamagedOnDiskIsFetchedAgainByTheFirstStartThatReachesTheSite) {
  for (const auto& file : files) {
    gf_writeSealedDataFile(file.installed(), readFile(file.plainSample()));
    file.stored.setValue("2.0.0");  // as the site's
    auto bytes = readFile(file.installed());
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x04);
    test::writeFile(file.installed(), bytes);
    server.answerHtmlPage(file.urlPath());
  }
  const auto forgetAirports = gsl::finally([] { gf_forgetAirports(); });

  // The first start reaches no data file: each damaged one stays and is named where the start-up reads it.
  EXPECT_TRUE(gf_checkVersions());
  for (const auto& file : files) {
    EXPECT_THAT(log.body(),
                HasSubstr(fmt::format("==> {} is damaged, downloading it again\n", file.installed().string())));
  }
  EXPECT_EQ(startUpReadError(gf_readDbase),
            "input/dbase.enc is damaged and will be downloaded again at the next start");
  EXPECT_EQ(startUpReadError(gf_readAirports),
            "88: input/airports.enc is damaged and will be downloaded again at the next start");
  EXPECT_FALSE(gf_decryptAigRegcodes());
  EXPECT_EQ(gf_statusText(),
            "airports repair failed, input/airports.enc is still damaged | input/AIG-regcodes.enc is damaged and will "
            "be downloaded again at the next start | dbase repair failed, input/dbase.enc is still damaged")
      << "one notice for each file: the damaged file stands in place of its failed fetch";
  EXPECT_THAT(log.body(), HasSubstr("==> input/AIG-regcodes.enc is damaged and will be downloaded again at the next "
                                    "start\n"));
  EXPECT_THAT(log.body(), HasSubstr("==> dbase repair failed, input/dbase.enc is still damaged\n"));

  // The next start reaches the site: every file is fetched again and the start-up reads them.
  for (const auto& file : files) {
    server.repair(file.urlPath());
  }
  EXPECT_TRUE(gf_checkVersions());
  for (const auto& file : files) {
    EXPECT_TRUE(readFile(file.installed()) == readFile(site.path() / "11" / file.name)) << file.name;
    EXPECT_EQ(test::storedSetting(file.stored.key), "2.0.0") << file.key;
    EXPECT_THAT(log.body(), HasSubstr(fmt::format("{} repaired with {} 2.0.0\n", file.installed().string(), file.key)));
  }
  EXPECT_THAT(log.body(), Not(HasSubstr("update to"))) << "the version did not change";
  EXPECT_EQ(startUpReadError(gf_readDbase), "");
  EXPECT_EQ(startUpReadError(gf_readAirports), "");
  ASSERT_TRUE(gf_decryptAigRegcodes());
  std::vector<RegcodesEntry> entries;
  EXPECT_TRUE(gf_readAIGRegcodes(entries));
}

// What the start-up says of a data file whose plain text cannot be written beside it in input/.
std::string notWrittenText(std::string_view file, const std::string& reason) {
  return fmt::format("input/{0}.enc could not be read: cannot write input/{0}.xml ({1})", file, reason);
}

// A folder that cannot take a plain file says nothing of the data files in it: they are neither fetched again nor
// called damaged, and the start-up names what failed, where and why.
TEST_F(DataFileUpdate, IntactFilesInAReadOnlyFolderAreNotFetchedAgainNorCalledDamaged) {
  for (const auto& file : files) {
    gf_writeSealedDataFile(file.installed(), readFile(file.plainSample()));
    file.stored.setValue("2.0.0");  // as the site's
  }
  const auto installed = readFile(files[2].installed());
  const test::ReadOnlyFolder readOnly{inputFolder};
  if (!readOnly.available()) {
    GTEST_SKIP() << "no way to make a folder read-only here";
  }

  EXPECT_TRUE(gf_checkVersions());

  EXPECT_THAT(requested(), ElementsAre("/versions.json"));
  EXPECT_THAT(log.body(), Not(HasSubstr("damaged")));
  EXPECT_EQ(startUpReadError(gf_readDbase), notWrittenText("dbase", readOnly.reason()));
  EXPECT_EQ(startUpReadError(gf_readAirports), "88: " + notWrittenText("airports", readOnly.reason()));
  EXPECT_FALSE(gf_decryptAigRegcodes());
  EXPECT_EQ(gf_statusText(), notWrittenText("AIG-regcodes", readOnly.reason()));
  EXPECT_TRUE(readFile(files[2].installed()) == installed);
}

// Data files another user laid out in input/ say nothing of their contents: they are neither fetched again nor called
// damaged, and the start-up names the file and the system's reason.
TEST_F(DataFileUpdate, FilesTheUserMayNotReadAreNotFetchedAgainNorCalledDamaged) {
  std::vector<std::unique_ptr<test::UnreadableFile>> unreadable;
  for (const auto& file : files) {
    gf_writeSealedDataFile(file.installed(), readFile(file.plainSample()));
    file.stored.setValue("2.0.0");  // as the site's
    unreadable.push_back(std::make_unique<test::UnreadableFile>(file.installed()));
    if (!unreadable.back()->available()) {
      GTEST_SKIP() << "no way to make a file unreadable here";
    }
  }
  const auto notRead = [](std::string_view file) {
    return fmt::format("input/{}.enc could not be read (Permission denied)", file);
  };

  EXPECT_TRUE(gf_checkVersions());

  EXPECT_THAT(requested(), ElementsAre("/versions.json"));
  EXPECT_THAT(log.body(), Not(HasSubstr("damaged")));
  EXPECT_THAT(log.body(), HasSubstr("gf_streamDecrypt exception: Could not open input file: input/dbase.enc "
                                    "(Permission denied)\n"));
  EXPECT_EQ(startUpReadError(gf_readDbase), notRead("dbase"));
  EXPECT_EQ(startUpReadError(gf_readAirports), "88: " + notRead("airports"));
  EXPECT_FALSE(gf_decryptAigRegcodes());
  EXPECT_EQ(gf_statusText(), notRead("AIG-regcodes"));
  EXPECT_THAT(test::filesIn(inputFolder), UnorderedElementsAre("airports.enc", "AIG-regcodes.enc", "dbase.enc"));
}

// An input/ the user may not search says nothing of the files in it: none is fetched, and the check and every reader
// name the folder as they name a file the user may not read.
TEST_F(DataFileUpdate, AnInputFolderTheUserMayNotSearchIsNamedAndNothingIsFetched) {
  for (const auto& file : files) {
    gf_writeSealedDataFile(file.installed(), readFile(file.plainSample()));
    file.stored.setValue("2.0.0");  // as the site's
  }
  const test::UnreadableFile keptToHimself{inputFolder};
  if (!keptToHimself.available()) {
    GTEST_SKIP() << "no way to keep a folder from the user here";
  }
  const std::string notRead = "input/ could not be read (Permission denied)";

  EXPECT_EQ(startUpReadError(gf_checkVersions), notRead);

  EXPECT_THAT(requested(), ElementsAre("/versions.json"));
  EXPECT_EQ(startUpReadError(gf_readDbase), notRead);
  EXPECT_EQ(startUpReadError(gf_readAirports), notRead);
  EXPECT_EQ(startUpReadError(gf_decryptAigRegcodes), notRead);
  EXPECT_THAT(log.body(), Not(HasSubstr("filesystem error")));
}

TEST_F(DataFileUpdate, IntactFilesOnAFullDiskAreNotFetchedAgainNorCalledDamaged) {
  // Room for the three data files and the plain text of the smaller two, not for the plain dbase.
  const test::SmallDisk disk{inputFolder, 400 * 1024};
  if (!disk.available()) {
    GTEST_SKIP() << "mounting a small disk needs root";
  }
  for (const auto& file : files) {
    gf_writeSealedDataFile(file.installed(), readFile(file.plainSample()));
    file.stored.setValue("2.0.0");
  }
  const auto forgetAirports = gsl::finally([] { gf_forgetAirports(); });

  EXPECT_TRUE(gf_checkVersions());

  EXPECT_THAT(requested(), ElementsAre("/versions.json"));
  EXPECT_THAT(log.body(), Not(HasSubstr("damaged")));
  EXPECT_EQ(startUpReadError(gf_readDbase), notWrittenText("dbase", "No space left on device"));
  EXPECT_EQ(startUpReadError(gf_readAirports), "");
  EXPECT_TRUE(gf_decryptAigRegcodes());
  EXPECT_THAT(test::filesIn(inputFolder),
              UnorderedElementsAre("airports.enc", "AIG-regcodes.enc", "AIG-regcodes.xml", "dbase.enc"));
}

// The start-up warns about a title repeated in a row and uses the rest of the file; the update takes it as it is.
TEST_F(DataFileUpdate, AnAigFileThatRepeatsATitleIsInstalledAndKept) {
  auto plain = readFile(files[1].plainSample());
  const auto firstLivery = plain.find("<livery ");
  const auto repeated = plain.substr(firstLivery, plain.find('\n', firstLivery) + 1 - firstLivery);
  plain.insert(firstLivery, repeated);
  site.file("11/AIG-regcodes.enc", gf_sealDataBytes(plain));

  EXPECT_TRUE(gf_checkVersions());
  ASSERT_TRUE(std::filesystem::exists(files[1].installed()));
  EXPECT_TRUE(readFile(files[1].installed()) == readFile(site.path() / "11/AIG-regcodes.enc"));
  EXPECT_EQ(test::storedSetting("AIG_VERSION"), "2.0.0");
  EXPECT_THAT(log.body(), HasSubstr("aig updated to 2.0.0\n"));

  EXPECT_TRUE(gf_checkVersions());
  const auto paths = requested();
  EXPECT_EQ(std::count(paths.begin(), paths.end(), "/11/AIG-regcodes.enc"), 1) << "an equal file is kept";
}

TEST_F(VersionCheck, WhatTheSiteDoesNotOfferIsNotFound) {
  site.versions({{"msfs", "11.10.3"}, {"airports", "1.0.0"}});
  site.rawVersions(R"({"msfs": {"major": 11, "minor": 10.7, "patch": true}, "airports": {"major": 1, "minor": 0},
                      "aig": {"major": "1", "minor": 0, "patch": 0}, "liveries": [1, 0, 0],
                      "dbase": {"major": 4, "minor": -1, "patch": 0}})");
  msfs2020Mode = false;

  EXPECT_TRUE(gf_checkVersions());

  EXPECT_THAT(requested(), ElementsAre("/versions.json"));
  const auto logged = log.body();
  // 11.10.1: a floating number is cut, a boolean counts as 1.
  EXPECT_THAT(logged, HasSubstr("msfs program version at web = 11.10.1\nmsfs version up-to-date\n"));
  for (const char* key : {"simaddon", "airports", "aig", "liveries", "addons", "dbase"}) {
    EXPECT_THAT(logged, HasSubstr(fmt::format("==> {} version not found\n", key)));
  }
  EXPECT_THAT(logged, HasSubstr("versions.json: dbase is not a version of three numbers\n"));  // a negative one
}

TEST_F(VersionCheck, ATopLevelThatIsNoObjectHasNoVersions) {
  site.rawVersions("[1, 2, 3]");
  EXPECT_TRUE(gf_checkVersions());
  const auto logged = log.body();
  for (const char* key : {"msfs", "airports", "aig", "liveries", "addons", "dbase"}) {
    EXPECT_THAT(logged, HasSubstr(fmt::format("==> {} version not found\n", key)));
  }
  EXPECT_THAT(logged, Not(HasSubstr("simaddon")));
}

TEST_F(VersionCheck, AMalformedOrMissingVersionsFileLetsTheStartUpGoOn) {
  site.rawVersions(R"({"msfs": {"major": 11,)");
  EXPECT_TRUE(gf_checkVersions());
  EXPECT_THAT(log.body(), HasSubstr("==> versions.json is not valid JSON, no updates checked\n"));
  EXPECT_FALSE(std::filesystem::exists(versionsJsonPath));

  server.answerStatus("/versions.json", 404);
  EXPECT_TRUE(gf_checkVersions());
  EXPECT_THAT(log.body(), HasSubstr("==> Downloading version info from my web site failed!\n"));
  EXPECT_THAT(requested(), ElementsAre("/versions.json", "/versions.json"));
}

}  // namespace
}  // namespace cvl
