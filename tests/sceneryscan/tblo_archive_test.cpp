#include "sceneryscan/tblo_archive.h"

#include <filesystem>

#include "foundation/constants.h"
#include "foundation/zip_archive.h"
#include "scan_fixture.h"

namespace cvl::test {
namespace {

namespace fs = std::filesystem;

class TbloArchiveTest : public SceneryScanTest {
 protected:
  TbloArchiveTest() {
    fs::create_directories(tbloFolder);
    tbloReady = 0;
  }
  ~TbloArchiveTest() override { tbloReady = 0; }

  static void generated(const std::string& code, std::string_view publisher, std::string_view manufacturer = "") {
    put(myThirdPartyFolder / (code + ".xml"),
        fmt::format(R"(<root><parameters><parameter name="publisher" value="{}"/>)"
                    R"(<parameter name="manufacturer" value="{}"/></parameters></root>)",
                    publisher, manufacturer));
  }
  static std::vector<std::string> archiveEntries(const fs::path& path) {
    std::vector<std::string> names;
    for (const auto& entry : ZipArchive::openForReading(path).entries()) {
      names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(TbloArchiveTest, GeneratedAirportsThatNameTheirMakerArePackedForTheMaker) {
  generated("EGLL", "Big Airports Inc");
  generated("EDDF", "", "Tiny Maker");
  generated("LOWW", "", "Jo");            // too short to name a maker
  generated("ZZZZ", "Big Airports Inc");  // no airport of the database
  generated("EDFB", "Skylark Studios");
  put(myThirdPartyFolder / "EDFB.txt", "archive/thirdparty/Skylark%20Studios/EDFB.xml\n");

  lf_prepareOfflineLearning({"EGLL", "EDDF", "LOWW", "ZZZZ", "EDFB"});

  EXPECT_EQ(tbloReady, 3U);
  EXPECT_EQ(archiveEntries(tbloFolder / tbloZipPath), (std::vector<std::string>{"EDDF.xml", "EDFB.xml", "EGLL.xml"}));
  EXPECT_EQ(std::distance(fs::directory_iterator(tbloFolder), fs::directory_iterator()), 1);
  EXPECT_FALSE(fs::exists(myThirdPartyFolder / "EDFB.xml"));  // linked: the redirect serves it
  EXPECT_TRUE(fs::exists(myThirdPartyFolder / "EGLL.xml"));
  EXPECT_TRUE(logHas("EGLL copied to tblo/EGLL.xml\n"));
  EXPECT_TRUE(logHas("[zip] Added 3 files, ok_close=true, exists=true, size="));
  EXPECT_TRUE(logHas("\n! Mail tblo/tblo.zip to support@corvalen.example"));
}

TEST_F(TbloArchiveTest, TheExcludedPublishersKmciIsDeletedAndNeverCollected) {
  generated("KMCI", "TropicalSim");
  lf_prepareOfflineLearning({"KMCI"});
  EXPECT_FALSE(fs::exists(myThirdPartyFolder / "KMCI.xml"));
  EXPECT_EQ(tbloReady, 0U);
  EXPECT_TRUE(logHas("All your third party airports are recognised, no off line learning needed.\n"));

  generated("KMCI", "Big Airports Inc");
  lf_prepareOfflineLearning({"KMCI"});
  EXPECT_EQ(tbloReady, 1U);
}

TEST_F(TbloArchiveTest, WithoutGeneratedFilesNothingIsLogged) {
  lf_prepareOfflineLearning({});
  EXPECT_EQ(log(), "");
}

TEST_F(TbloArchiveTest, TheArchiveIsNeverPackedIntoItself) {
  put(tbloFolder / "EGLL.xml", "<root/>");
  put(tbloFolder / tbloZipPath, "an older archive");

  ASSERT_TRUE(lf_zipFolder(tbloFolder / tbloZipPath));
  EXPECT_EQ(archiveEntries(tbloFolder / tbloZipPath), std::vector<std::string>{"EGLL.xml"});
}

TEST_F(TbloArchiveTest, AnArchiveWithoutEntriesLeavesTheOldOneWhole) {
  put(tbloFolder / tbloZipPath, "an older archive");
  EXPECT_FALSE(lf_zipFolder(tbloFolder / tbloZipPath));
  EXPECT_EQ(readFile(tbloFolder / tbloZipPath), "an older archive");
  EXPECT_TRUE(logHas("[zip] Added 0 files, ok_close=false, exists=true, size=16 bytes\n"));
}

TEST_F(TbloArchiveTest, AFailedArchiveIsReportedAndNotOfferedToTheUser) {
  generated("EGLL", "Big Airports Inc");
  fs::create_directories(tbloFolder / tbloZipPath / "blocker");  // the archive cannot be written there

  lf_prepareOfflineLearning({"EGLL"});

  EXPECT_EQ(tbloReady, 0U);
  EXPECT_TRUE(logHas("==> Zippen TBLO folder failed\n"));
  EXPECT_FALSE(logHas("! Mail"));
}

}  // namespace
}  // namespace cvl::test
