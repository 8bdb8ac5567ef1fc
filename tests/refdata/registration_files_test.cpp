#include "refdata/registration_files.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "program_folder.h"

namespace cvl {
namespace {

using test::ProgramFolder;
using test::writeFile;
using ::testing::HasSubstr;
using Regs = std::vector<std::string>;

const std::string metaHeader = R"(<meta><info name="copyright" value="Corvalen"/><info name="sim" value="1"/></meta>)";

// Reads the one text file of a fresh my_regcodes folder.
bool readLines(std::string_view lines, std::vector<RegcodesEntry>& out) {
  std::filesystem::create_directories(myRegcodesFolder);
  writeFile(myRegcodesFolder / "mine.txt", lines);
  return gf_readMyRegcodesFiles(myRegcodesFolder, out);
}

TEST(MyRegcodesFiles, FieldCountsDecideWhatALineMeans) {
  const ProgramFolder folder;
  std::vector<RegcodesEntry> out;
  EXPECT_TRUE(
      readLines("\xEF\xBB\xBFSingle;PH-BXA\r\n"
                "Several;PH-BXB, PH-BXA,PH-BXA\n"
                "Special;PH-BXA,PH-BXB;#\n"
                "Not special;PH-BXA,PH-BXB;x\n"
                "Repeated;PH-BXA,PH-BXA\n"
                "  Unused title  \n"
                "Skipped;\n"
                "Skipped too;  \n"
                "   \n"
                "\n"
                ";PH-BXC\n",
                out));
  ASSERT_EQ(out.size(), 7U);
  EXPECT_EQ(out[0].title, "Single");
  EXPECT_EQ(out[0].regs, (Regs{"PH-BXA"}));
  EXPECT_TRUE(out[0].special);
  EXPECT_EQ(out[1].regs, (Regs{"PH-BXA", "PH-BXB"}));
  EXPECT_FALSE(out[1].special);
  EXPECT_TRUE(out[2].special);
  EXPECT_FALSE(out[3].special);
  EXPECT_EQ(out[4].regs, (Regs{"PH-BXA"}));  // one registration once repeats are gone
  EXPECT_TRUE(out[4].special);
  EXPECT_EQ(out[5].title, "Unused title");
  EXPECT_TRUE(out[5].regs.empty());
  EXPECT_EQ(out[6].title, "");
  EXPECT_THAT(folder.log(), HasSubstr("7 liveries\n"));
}

TEST(MyRegcodesFiles, BadLinesAreLoggedAndTheRestIsKept) {
  const ProgramFolder folder;
  std::vector<RegcodesEntry> out{{"Older entry", {}, false}};
  EXPECT_FALSE(
      readLines("Short;AB\n"
                "Mixed;AB,PH-BXA\n"
                "Too long;PH-BXAB123456\n"
                "None valid;AB,CD\n"
                "a;b;c;d\n",
                out));
  ASSERT_EQ(out.size(), 2U);
  EXPECT_EQ(out[1].title, "Mixed");
  EXPECT_EQ(out[1].regs, (Regs{"PH-BXA"}));
  const auto file = (myRegcodesFolder / "mine.txt").string();
  const auto log = folder.log();
  for (const auto& line :
       {fmt::format("==> wrong regcode length 'AB' in {}\n", file),
        fmt::format("==> wrong regcode length 'PH-BXAB123456' in {}\n", file),
        fmt::format("==> {} ; regs empty?\n", file), fmt::format("==> {}: wrong format 'a;b;c;d'\n", file)}) {
    EXPECT_THAT(log, HasSubstr(line));
  }
  EXPECT_THAT(log, HasSubstr("2 liveries\n"));
}

TEST(MyRegcodesFiles, OnlyTextFilesDirectlyInTheFolderAreRead) {
  const ProgramFolder folder;
  std::filesystem::create_directories(myRegcodesFolder / "sub");
  writeFile(myRegcodesFolder / "x.Txt", "X;PH-BXA\n");
  writeFile(myRegcodesFolder / "y.TXT", "Y;PH-BXB\n");
  writeFile(myRegcodesFolder / "z.txt.bak", "Z;PH-BXC\n");
  writeFile(myRegcodesFolder / "sub" / "w.txt", "W;PH-BXD\n");
  std::vector<RegcodesEntry> out;
  EXPECT_TRUE(gf_readMyRegcodesFiles(myRegcodesFolder, out));
  ASSERT_EQ(out.size(), 2U);
  EXPECT_THAT(folder.log(), HasSubstr("2 liveries\n"));

  EXPECT_FALSE(gf_readMyRegcodesFiles("input/none", out));
  EXPECT_THAT(folder.log(), HasSubstr("==> Error reading regcode files in input/none, what: "));
  EXPECT_EQ(out.size(), 2U);
}

TEST(MyRegcodesFiles, ReadsTheSampleFile) {
  const ProgramFolder folder;
  std::vector<RegcodesEntry> out;
  EXPECT_TRUE(gf_readMyRegcodesFiles(test::sampleDataFolder() / "my_regcodes", out));
  EXPECT_FALSE(out.empty());
}

TEST(AigRegcodes, ReadsTheSampleAndRemovesIt) {
  const ProgramFolder folder;
  writeFile(aigRegcodesXmlPath, test::readFile(test::sampleDataFolder() / "AIG-regcodes.xml"));
  std::vector<RegcodesEntry> out;
  EXPECT_TRUE(gf_readAIGRegcodes(out));
  EXPECT_FALSE(std::filesystem::exists(aigRegcodesXmlPath));
  ASSERT_GT(out.size(), 10U);
  EXPECT_EQ(out[0].title, "Sample Airbus A320neo Lufthansa");
  EXPECT_EQ(out[0].regs.front(), "D-AINB");
  EXPECT_EQ(out[2].regs, (Regs{"D-AICS"}));
  EXPECT_TRUE(out[2].special);
  EXPECT_THAT(folder.log(), HasSubstr(fmt::format("{} liveries read from AIG-regcodes\n", out.size())));
}

TEST(AigRegcodes, RepeatedTitlesAndEmptyPiecesAreDropped) {
  const ProgramFolder folder;
  writeFile(aigRegcodesXmlPath, "<root>" + metaHeader + R"(<AIG-regcodes>
    <livery title="A" reg="PH-BXB,,PH-BXA13CHARS"/>
    <livery title="A" reg="PH-BXC"/>
    <livery title="" reg="PH-BXD"/>
    <livery title="B"/>
    <livery title="A" reg=","/>
    </AIG-regcodes></root>)");
  std::vector<RegcodesEntry> out;
  EXPECT_FALSE(gf_readAIGRegcodes(out));
  ASSERT_EQ(out.size(), 3U);
  EXPECT_EQ(out[0].regs, (Regs{"PH-BXA13CHARS", "PH-BXB"}));
  EXPECT_EQ(out[1].title, "B");
  EXPECT_TRUE(out[2].regs.empty());
  EXPECT_THAT(folder.log(), HasSubstr("==> SAME AS PREVIOUS title 'A'\n"));
}

TEST(AigRegcodes, FilesWithoutHeaderOrNotLoadingGiveNothing) {
  const ProgramFolder folder;
  std::vector<RegcodesEntry> out;
  writeFile(aigRegcodesXmlPath, R"(<root><AIG-regcodes><livery title="A" reg="PH-BXA"/></AIG-regcodes></root>)");
  EXPECT_FALSE(gf_readAIGRegcodes(out));
  EXPECT_FALSE(std::filesystem::exists(aigRegcodesXmlPath));
  writeFile(aigRegcodesXmlPath, "<root>" + metaHeader);
  EXPECT_FALSE(gf_readAIGRegcodes(out));
  EXPECT_FALSE(std::filesystem::exists(aigRegcodesXmlPath));
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(folder.log(), "==> Failed to load input/AIG-regcodes.xml\n");
}

}  // namespace
}  // namespace cvl
