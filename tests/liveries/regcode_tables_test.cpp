#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/status_line.h"
#include "liveries/dont_use_titles.h"
#include "liveries/regcode_titles.h"
#include "liveries/scan_reports.h"
#include "matching_fixture.h"
#include "refdata/data_file_sealing.h"

namespace cvl::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

const std::string metaHeader = R"(<meta><info name="copyright" value="Corvalen"/><info name="sim" value="1"/></meta>)";

class RegcodeTables : public LiveryTest {
 protected:
  static void writeAigFile(std::string_view liveries) {
    std::filesystem::create_directories(inputFolder);
    gf_writeSealedDataFile(aigRegcodesEncPath,
                           "<root>" + metaHeader + "<AIG-regcodes>" + std::string{liveries} + "</AIG-regcodes></root>");
  }
  static void writeUserFile(std::string_view lines) {
    std::filesystem::create_directories(myRegcodesFolder);
    writeFile(myRegcodesFolder / "mine.txt", lines);
  }
};

TEST_F(RegcodeTables, TheFirstLiveryOfAnInlineRegistrationKeepsItAndTheClashIsReported) {
  install({livery("KLM", "B744", "KLM 747 b", "PH-BFA"), livery("KLM", "B744", "KLM 747 a", "PH-BFA"),
           livery("KLM", "B744", "KLM 747 c", "PH-BFB")});
  EXPECT_EQ(RegcodeTitleMap.at("PH-BFA"), "KLM 747 a");
  EXPECT_EQ(RegcodeTitleMap.at("PH-BFB"), "KLM 747 c");
  EXPECT_EQ(readFile(inlineRegcodesReportPath), "PH-BFA 'KLM 747 b' => already in use by 'KLM 747 a'\n");
  EXPECT_THAT(log(), HasSubstr("1 in-line regcode clashes, see 'output/errors/InlineRegcodes.txt'\n"));
}

TEST_F(RegcodeTables, AnInlineRegistrationOfALeftOutLiveryIsReportedNotMappedToNothing) {
  install({livery("", "B744", "No airline", "PH-BFA")});
  EXPECT_FALSE(RegcodeTitleMap.contains("PH-BFA"));
  EXPECT_EQ(readFile(inlineRegcodesReportPath),
            "==> [    B744] PH-BFA 'No airline' not available, system error, should not happen?\n");
}

TEST_F(RegcodeTables, AFileEntryOverridesAnInlineRegistrationAndCountsItsChanges) {
  install({livery("KLM", "B744", "KLM 747", "PH-BFA"), livery("KLM", "B744", "KLM 747 Retro"),
           livery("KLM", "B77W", "KLM 777")});
  lf_addRegcodesFromFile({{"KLM 747 Retro", {"PH-BFA", "PH-BFB"}, true},
                          {"KLM 777", {"", "PH-BQA"}, true},
                          {"Not installed", {"PH-XXX"}, true},
                          {"KLM 777", {}, false}});

  EXPECT_EQ(RegcodeTitleMap.at("PH-BFA"), "KLM 747 Retro");
  EXPECT_EQ(RegcodeTitleMap.at("PH-BFB"), "KLM 747 Retro");
  EXPECT_EQ(RegcodeTitleMap.at("PH-BQA"), "KLM 777");
  EXPECT_FALSE(RegcodeTitleMap.contains("")) << "an empty registration would be every unregistered aircraft's";
  EXPECT_FALSE(RegcodeTitleMap.contains("PH-XXX"));
  EXPECT_THAT(SpecialTitles, ElementsAre("KLM 747 Retro", "KLM 777"));
  EXPECT_TRUE(UniqueRegcodes.empty()) << "two registrations, one of them empty, are not one";
  EXPECT_THAT(OfflineRegcodeLines,
              ElementsAre("   regcode PH-BFA for 'KLM 747 Retro', instead of the same for 'KLM 747'",
                          "2 new regcodes added, 1 regcode replaced, 2 regcodes defined as special"));
}

TEST_F(RegcodeTables, OnlyASpecialEntryOfOneRegistrationMakesItUnique) {
  install({livery("KLM", "B744", "KLM 747"), livery("KLM", "B77W", "KLM 777")});
  lf_addRegcodesFromFile({{"KLM 747", {"PH-BFA"}, true}, {"KLM 777", {"PH-BQA"}, false}});
  EXPECT_THAT(UniqueRegcodes, ElementsAre("PH-BFA"));
  EXPECT_THAT(OfflineRegcodeLines, ElementsAre("2 new regcodes added, 1 regcode defined as special"));
}

TEST_F(RegcodeTables, TheAigFileThenTheUserFilesAreMergedAndReported) {
  install({livery("KLM", "B744", "KLM 747"), livery("KLM", "B744", "KLM 747 Retro")});
  writeAigFile(
      R"(<livery title="KLM 747" reg="PH-BFA,PH-BFB"/><livery title="KLM 747 Retro" reg="PH-BFC" special="true"/>)");
  writeUserFile("KLM 747 Retro;PH-BFA,PH-BFD\n");
  lf_processOfflineRegcodes();

  EXPECT_EQ(RegcodeTitleMap.at("PH-BFA"), "KLM 747 Retro");
  EXPECT_EQ(RegcodeTitleMap.at("PH-BFB"), "KLM 747");
  EXPECT_FALSE(std::filesystem::exists(aigRegcodesXmlPath)) << "the plain text is not left behind";
  EXPECT_EQ(readFile(offlineRegcodesReportPath),
            "Processing file input/AIG-regcodes.xml\n"
            "3 new regcodes added, 1 regcode defined as special\n"
            "Processing files in input/my_regcodes\n"
            "   regcode PH-BFA for 'KLM 747 Retro', instead of the same for 'KLM 747'\n"
            "1 new regcode added, 1 regcode replaced\n");
  const std::string text = log();
  EXPECT_THAT(text, HasSubstr("Offline regcode files processed, results can be found in "
                              "'output/info/OfflineRegcodes.txt'\n1 special liveries\n1 unique liveries\n"));
}

TEST_F(RegcodeTables, TheUserFilesCountWithoutTheAigFile) {
  install({livery("KLM", "B744", "KLM 747")});
  writeUserFile("KLM 747;PH-BFA\n");
  lf_processOfflineRegcodes();
  EXPECT_EQ(RegcodeTitleMap.at("PH-BFA"), "KLM 747");
  EXPECT_EQ(readFile(offlineRegcodesReportPath),
            "Processing files in input/my_regcodes\n1 new regcode added, 1 regcode defined as special\n");
  EXPECT_THAT(log(), Not(HasSubstr("damaged"))) << "a missing file is no damaged one";
}

TEST_F(RegcodeTables, ADamagedAigFileIsNamedAndTheUserFilesStillCount) {
  install({livery("KLM", "B744", "KLM 747")});
  writeAigFile(R"(<livery title="KLM 747" reg="PH-BFA"/>)");
  auto bytes = readFile(aigRegcodesEncPath);
  bytes.back() = static_cast<char>(bytes.back() ^ 0x01);
  writeFile(aigRegcodesEncPath, bytes);
  writeUserFile("KLM 747;PH-BFB\n");

  // A scan reads the file twice: for the titles not to use, then for the registrations.
  lf_readDontUseTitles();
  lf_processOfflineRegcodes();

  EXPECT_FALSE(RegcodeTitleMap.contains("PH-BFA"));
  EXPECT_EQ(RegcodeTitleMap.at("PH-BFB"), "KLM 747");
  const std::string damaged = "input/AIG-regcodes.enc is damaged and will be downloaded again at the next start";
  const std::string text = log();
  EXPECT_THAT(text, HasSubstr(damaged + "\n"));
  EXPECT_EQ(text.find(damaged), text.rfind(damaged)) << "logged once per start\n" << text;
  gf_setStatusLine("Processing liveries", false);
  EXPECT_EQ(gf_statusText(), "Processing liveries | " + damaged) << "the next start-up line does not hide it";
}

TEST_F(RegcodeTables, WithoutAnySourceNoReportIsLeft) {
  install({livery("KLM", "B744", "KLM 747")});
  std::filesystem::create_directories(myRegcodesFolder);
  std::filesystem::create_directories(outputInfoFolder);
  writeFile(offlineRegcodesReportPath, "old report\n");
  lf_processOfflineRegcodes();
  EXPECT_FALSE(std::filesystem::exists(offlineRegcodesReportPath));
  EXPECT_THAT(log(), Not(HasSubstr("Processing files in")));
}

TEST_F(RegcodeTables, ErrorsInTheUserFilesAreShownAndTheGoodLinesStillCount) {
  install({livery("KLM", "B744", "KLM 747")});
  writeUserFile("KLM 747;PH-BFA\nKLM 747;AB\n");
  lf_processOfflineRegcodes();
  EXPECT_EQ(RegcodeTitleMap.at("PH-BFA"), "KLM 747");
  EXPECT_THAT(log(), HasSubstr("There were errors processing the regcode files in folder 'input/my_regcodes', see "
                               "Log.txt\n"));
}

}  // namespace
}  // namespace cvl::test
