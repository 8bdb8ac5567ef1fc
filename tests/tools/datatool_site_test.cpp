#include <fmt/format.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "datatool/command_line.h"
#include "datatool/component_versions.h"
#include "support/temp_folder.h"
#include "tools/datatool_test_support.h"

namespace cvl::datatool {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

const std::filesystem::path sampleDir = DATATOOL_SAMPLE_DIR;

struct DatatoolRun {
  int exitCode;
  std::string out;
  std::string err;
};

DatatoolRun datatool(const std::vector<std::string>& arguments) {
  std::ostringstream out;
  std::ostringstream err;
  const int exitCode = runDatatool(arguments, out, err);
  return {exitCode, out.str(), err.str()};
}

// Every file entry of a zip archive with its bytes, in archive order.
std::vector<std::pair<std::string, std::string>> zipEntries(const std::filesystem::path& path) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr) {
    ADD_FAILURE() << "cannot open " << path;
    return {};
  }
  std::vector<std::pair<std::string, std::string>> entries;
  for (zip_int64_t index = 0; index < zip_get_num_entries(archive, 0); ++index) {
    zip_stat_t stat;
    zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &stat);
    std::string bytes(stat.size, '\0');
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0);
    zip_fread(file, bytes.data(), bytes.size());
    zip_fclose(file);
    entries.emplace_back(stat.name, bytes);
  }
  zip_close(archive);
  return entries;
}

nlohmann::ordered_json readVersions(const std::filesystem::path& siteDir) {
  return nlohmann::ordered_json::parse(readFile(siteDir / "versions.json"));
}

std::string announcedVersion(const nlohmann::ordered_json& versions, const std::string& key) {
  const nlohmann::ordered_json& version = versions.at(key);
  return fmt::format("{}.{}.{}", version.at("major").get<int>(), version.at("minor").get<int>(),
                     version.at("patch").get<int>());
}

TEST(DownloadSite, HoldsTheEncryptedSampleDataAndAnnouncesTheProgramsOwnVersion) {
  TempFolder site;
  ASSERT_EQ(datatool({"site", sampleDir.string(), site.path().string()}).exitCode, 0);

  for (const std::string name : {"dbase", "airports", "AIG-regcodes"}) {
    const auto opened = test::openDataFile(readFile(site.path() / "11" / (name + ".enc")));
    EXPECT_EQ(opened.plain, readFile(sampleDir / (name + ".xml"))) << name;
  }
  EXPECT_TRUE(readFile(site.path() / "docs" / "ReleaseNotes.pdf").starts_with("%PDF-"));
  EXPECT_FALSE(std::filesystem::exists(site.path() / "release"));

  // The stock airport file of Frankfurt, also under the simaddon name that the zip's redirect gives.
  const auto simAddonFiles = zipEntries(site.path() / "mysimaddon24" / "my_simaddon2024.zip");
  ASSERT_EQ(simAddonFiles.size(), 1U);
  EXPECT_EQ(simAddonFiles[0].first, "EDDF.txt");
  EXPECT_EQ(simAddonFiles[0].second, "archive/simaddon/EDDF.xml\n");
  const std::string frankfurt = readFile(sampleDir / "airports" / "archive" / "stock" / "EDDF.xml");
  EXPECT_EQ(readFile(site.path() / "MSFS" / "archive" / "stock" / "EDDF.xml"), frankfurt);
  EXPECT_EQ(readFile(site.path() / "MSFS" / "archive" / "simaddon" / "EDDF.xml"), frankfurt);

  const nlohmann::ordered_json versions = readVersions(site.path());
  std::vector<std::string> keys;
  for (const auto& [key, value] : versions.items()) {
    keys.push_back(key);
    EXPECT_TRUE(value.is_object()) << key;
  }
  EXPECT_EQ(keys, std::vector<std::string>(componentKeys.begin(), componentKeys.end()));
  EXPECT_EQ(announcedVersion(versions, "msfs"), "11.10.3");
  EXPECT_EQ(announcedVersion(versions, "dbase"), "3.1.0");
}

TEST(DownloadSite, OffersANewerProgramWithItsInstaller) {
  TempFolder site;
  ASSERT_EQ(
      datatool({"site", sampleDir.string(), site.path().string(), "--installer", "11.10.4", "--version", "dbase=3.2.0"})
          .exitCode,
      0);

  const auto installer = zipEntries(site.path() / "release" / "setup_Corvalen_d_v11.10.4.zip");
  ASSERT_EQ(installer.size(), 1U);
  EXPECT_EQ(installer[0].first, "setup_Corvalen_d_v11.10.4.exe");
  EXPECT_FALSE(installer[0].second.empty());

  const nlohmann::ordered_json versions = readVersions(site.path());
  EXPECT_EQ(announcedVersion(versions, "msfs"), "11.10.4");
  EXPECT_EQ(announcedVersion(versions, "dbase"), "3.2.0");
}

TEST(DownloadSite, CanAnnounceAProgramWhoseInstallerIsMissing) {
  TempFolder site;
  ASSERT_EQ(datatool({"site", sampleDir.string(), site.path().string(), "--version", "msfs=12.0.0"}).exitCode, 0);

  EXPECT_EQ(announcedVersion(readVersions(site.path()), "msfs"), "12.0.0");
  EXPECT_FALSE(std::filesystem::exists(site.path() / "release"));
}

// A sample folder of its own: the plain data files of the sample and the given airport files under airports/archive.
class OwnSample : public testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(sample());
    for (const char* name : {"dbase.xml", "airports.xml", "AIG-regcodes.xml"}) {
      std::filesystem::copy_file(sampleDir / name, sample() / name);
    }
  }

  void archive(const std::filesystem::path& relative, const std::string& text) const {
    std::filesystem::create_directories((sample() / "airports" / "archive" / relative).parent_path());
    writeFile(sample() / "airports" / "archive" / relative, text);
  }

  std::filesystem::path sample() const { return work_.path() / "sample"; }
  std::filesystem::path site() const { return work_.path() / "site"; }

 private:
  TempFolder work_;
};

TEST_F(OwnSample, StockAndSimaddonFilesServeBothSimulatorsThirdpartyFilesEachItsOwnFolder) {
  archive("stock/EGLL.xml", "stock EGLL");
  archive("stock/KSEA.xml", "stock KSEA");
  archive("simaddon/KSEA.xml", "simaddon KSEA");
  archive("thirdparty/Northwind Sceneries/EDDF.xml", "thirdparty EDDF");

  ASSERT_EQ(datatool({"site", sample().string(), site().string(), "--simaddon-airports", "KSEA,EGLL"}).exitCode, 0);

  EXPECT_EQ(readFile(site() / "MSFS/archive/stock/EGLL.xml"), "stock EGLL");
  EXPECT_EQ(readFile(site() / "MSFS/archive/simaddon/EGLL.xml"), "stock EGLL");
  EXPECT_EQ(readFile(site() / "MSFS/archive/simaddon/KSEA.xml"), "simaddon KSEA");
  // The program asks for "archive/thirdparty/Northwind%20Sceneries/EDDF.xml": the site's folder has the blank.
  EXPECT_EQ(readFile(site() / "MSFS/archive/thirdparty/Northwind Sceneries/EDDF.xml"), "thirdparty EDDF");
  EXPECT_EQ(readFile(site() / "MSFS2024/archive/thirdparty/Northwind Sceneries/EDDF.xml"), "thirdparty EDDF");
  EXPECT_FALSE(std::filesystem::exists(site() / "MSFS2024/archive/stock"));
  EXPECT_FALSE(std::filesystem::exists(site() / "MSFS2024/archive/simaddon"));

  const auto redirects = zipEntries(site() / "mysimaddon24" / "my_simaddon2024.zip");
  ASSERT_EQ(redirects.size(), 2U);
  EXPECT_EQ(redirects[0], (std::pair<std::string, std::string>{"KSEA.txt", "archive/simaddon/KSEA.xml\n"}));
  EXPECT_EQ(redirects[1], (std::pair<std::string, std::string>{"EGLL.txt", "archive/simaddon/EGLL.xml\n"}));
}

TEST_F(OwnSample, ASimaddonAirportWithoutAnAirportFileIsRefusedAndNothingIsAnnounced) {
  archive("stock/EDDF.xml", "stock EDDF");

  const DatatoolRun run = datatool({"site", sample().string(), site().string(), "--simaddon-airports", "EDDF,KSEA"});

  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("KSEA"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(site() / "MSFS"));
  EXPECT_FALSE(std::filesystem::exists(site() / "mysimaddon24"));
  EXPECT_FALSE(std::filesystem::exists(site() / "versions.json"));
}

TEST(DownloadSite, RefusesAWrongCommandLineBeforeWritingAnything) {
  TempFolder site;
  const std::string siteDir = site.path().string();
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {},
           {"publish"},
           {"encrypt", "dbase.xml"},
           {"site", sampleDir.string(), siteDir, "--version", "fleet=1.0.0"},
           {"site", sampleDir.string(), siteDir, "--version", "dbase=3.1"},
           {"site", sampleDir.string(), siteDir, "--installer", "11.10.x"},
           {"site", sampleDir.string(), siteDir, "--installer", "-11.10.4"},
           {"site", sampleDir.string(), siteDir, "--installer"},
           {"site", sampleDir.string(), siteDir, "--mirror", "x"},
       }) {
    const DatatoolRun run = datatool(arguments);
    EXPECT_EQ(run.exitCode, 2) << testing::PrintToString(arguments);
    EXPECT_NE(run.err.find("usage:"), std::string::npos);
  }
  EXPECT_TRUE(std::filesystem::is_empty(site.path()));
}

TEST_F(OwnSample, AnnouncesNothingWhenASampleFileIsBroken) {
  archive("stock/EDDF.xml", "stock EDDF");
  writeFile(sample() / "airports.xml", "<root><airports><airport code=\"EDDF\"></root>");

  const DatatoolRun run = datatool({"site", sample().string(), site().string()});

  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("airports.xml"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(site() / "versions.json"));
}

TEST(ComponentVersionText, TakesExactlyThreeNonNegativeNumbers) {
  EXPECT_EQ(parseComponentVersion("11.10.3"), (ComponentVersion{11, 10, 3}));
  EXPECT_EQ(parseComponentVersion("0.0.0"), (ComponentVersion{0, 0, 0}));
  for (const char* text : {"", "11", "11.10", "11.10.3.1", "11..3", "11.10.", "a.b.c", "11.10.3 ", "99999999999.0.0"}) {
    EXPECT_THROW(parseComponentVersion(text), std::invalid_argument) << text;
  }
}

}  // namespace
}  // namespace cvl::datatool
