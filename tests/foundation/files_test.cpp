#include "foundation/files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "foundation/open_log.h"
#include "support/temp_folder.h"
#include "support/unwritable_folders.h"

namespace cvl {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;
using testing::HasSubstr;
using testing::StartsWith;
using testing::UnorderedElementsAre;

// Every test runs in a fresh current folder with Log.txt open there.
class Files : public testing::Test {
 protected:
  // The lines logged after the header; the log's own rotation left Log0.txt and friends aside.
  std::string logged() const { return log_.body(); }

  test::OpenLog log_;
};

TEST_F(Files, FirstShiftCreatesOnlyTheFirstGeneration) {
  writeFile("notes.txt", "current");
  EXPECT_TRUE(gf_saveUpto3GenerationsOf("notes.txt"));
  EXPECT_EQ(readFile("notes.txt"), "current");
  EXPECT_EQ(readFile("notes0.txt"), "current");
  EXPECT_FALSE(fs::exists("notes00.txt"));
  EXPECT_FALSE(fs::exists("notes000.txt"));
  EXPECT_EQ(logged(), "");
}

TEST_F(Files, ShiftMovesEveryGenerationUpOne) {
  writeFile("notes.txt", "current");
  writeFile("notes0.txt", "first");
  writeFile("notes00.txt", "second");
  writeFile("notes000.txt", "third");
  EXPECT_TRUE(gf_saveUpto3GenerationsOf("notes.txt"));
  EXPECT_EQ(readFile("notes.txt"), "current");
  EXPECT_EQ(readFile("notes0.txt"), "current");
  EXPECT_EQ(readFile("notes00.txt"), "first");
  EXPECT_EQ(readFile("notes000.txt"), "second");
}

TEST_F(Files, FailedStepDoesNotStopTheLaterOnes) {
  writeFile("notes.txt", "current");
  writeFile("notes0.txt", "first");
  writeFile("notes00.txt", "second");
  fs::create_directory("notes000.txt");  // cannot be overwritten by a file
  EXPECT_FALSE(gf_saveUpto3GenerationsOf("notes.txt"));
  EXPECT_EQ(readFile("notes00.txt"), "first");
  EXPECT_EQ(readFile("notes0.txt"), "current");
  EXPECT_THAT(logged(), StartsWith("==> move notes00.txt -> notes000.txt failed: "));
  EXPECT_EQ(std::ranges::count(logged(), '\n'), 1);
}

// Older generations move up by renaming, which needs no room; the copy of the file that finds no room leaves nothing
// cut off behind.
TEST_F(Files, OnAFullDiskTheShiftEmptiesNoGeneration) {
  fs::create_directory("disk");
  const test::SmallDisk disk{"disk", 64 * 1024};
  if (!disk.available()) {
    GTEST_SKIP() << "mounting a small disk needs root";
  }
  writeFile("disk/notes.txt", std::string(8 * 1024, 'c'));
  writeFile("disk/notes0.txt", "first");
  writeFile("disk/notes00.txt", "second");
  std::ofstream("disk/filler", std::ios::binary) << std::string(64 * 1024, 'f');

  EXPECT_FALSE(gf_saveUpto3GenerationsOf("disk/notes.txt"));
  EXPECT_EQ(readFile("disk/notes00.txt"), "first");
  EXPECT_EQ(readFile("disk/notes000.txt"), "second");
  EXPECT_THAT(test::filesIn("disk"), UnorderedElementsAre("filler", "notes.txt", "notes00.txt", "notes000.txt"));
  EXPECT_THAT(logged(), StartsWith("==> copy disk/notes.txt -> disk/notes0.txt failed: "));
}

TEST_F(Files, GenerationsGoIntoTheFileNameNotTheFolder) {
  fs::create_directories("settings.d/sub");
  writeFile("settings.d/sub/parameters.xml", "<parameters/>");
  EXPECT_TRUE(gf_save1GenerationOf("settings.d/sub/parameters.xml"));
  EXPECT_EQ(readFile("settings.d/sub/parameters0.xml"), "<parameters/>");

  writeFile("settings.d/README", "text");
  EXPECT_FALSE(gf_save1GenerationOf("settings.d/README"));
  EXPECT_FALSE(gf_saveUpto3GenerationsOf("settings.d/README"));
  EXPECT_FALSE(fs::exists("settings0.d"));
  EXPECT_EQ(logged(),
            "==> gf_save1GenerationOf: no dot in filename: settings.d/README\n"
            "==> gf_saveUpto3GenerationsOf: no dot in filename: settings.d/README\n");
}

TEST_F(Files, OneGenerationOfAMissingFileIsNothingToDo) {
  EXPECT_TRUE(gf_save1GenerationOf("parameters.xml"));
  EXPECT_FALSE(fs::exists("parameters0.xml"));
  EXPECT_EQ(logged(), "");
}

TEST_F(Files, UnreadableStatusIsLogged) {
  const std::string tooLong = std::string(300, 'n') + ".xml";
  EXPECT_FALSE(gf_save1GenerationOf(tooLong));
  EXPECT_THAT(logged(), StartsWith("==> exists(" + tooLong + "): "));
}

TEST_F(Files, RemovingFromAMissingFolderSaysNothing) {
  gf_removeFilesFromDirectory("nowhere");
  writeFile("plain.txt", "x");
  gf_removeFilesFromDirectory("plain.txt");
  EXPECT_TRUE(fs::exists("plain.txt"));
  EXPECT_EQ(logged(), "");
}

TEST_F(Files, RemovesFilesAndEmptyFolders) {
  fs::create_directories("downloads/empty");
  writeFile("downloads/a.enc", "a");
  writeFile("downloads/b.xml", "b");
  gf_removeFilesFromDirectory("downloads");
  EXPECT_TRUE(fs::is_empty("downloads"));
  EXPECT_EQ(logged(), "");
}

TEST_F(Files, RemovalStopsAtAFolderThatIsNotEmpty) {
  fs::create_directories("downloads/full");
  writeFile("downloads/full/inside.txt", "x");
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) {
    writeFile(fs::path("downloads") / name, name);
  }
  std::vector<fs::path> walk;
  for (const auto& entry : fs::directory_iterator("downloads")) {
    walk.push_back(entry.path());
  }
  gf_removeFilesFromDirectory("downloads");

  const auto full = std::ranges::find(walk, fs::path("downloads/full"));
  for (auto entry = walk.begin(); entry != walk.end(); ++entry) {
    EXPECT_EQ(fs::exists(*entry), entry >= full) << *entry;
  }
  EXPECT_THAT(logged(), StartsWith("==> gf_removeFilesFromDirectory exception: "));
  EXPECT_THAT(logged(), HasSubstr("downloads/full"));
  EXPECT_EQ(std::ranges::count(logged(), '\n'), 1);
}

TEST_F(Files, RemovesOnlyXmlFilesFromTblo) {
  fs::create_directory("tblo");
  for (const char* name : {"EDDF.xml", "EDDM.XML", "EGLL.Xml", "notes.txt", "xml"}) {
    writeFile(fs::path("tblo") / name, name);
  }
  gf_removeXMLFilesFromDirectory();
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator("tblo")) {
    left.push_back(entry.path().filename().string());
  }
  EXPECT_THAT(left, UnorderedElementsAre("notes.txt", "xml"));
}

TEST_F(Files, CountsRegularFilesFollowingLinks) {
  fs::create_directories("airports/my_simaddon/sub");
  writeFile("airports/my_simaddon/EDDF.txt", "x");
  writeFile("airports/my_simaddon/EDDM.txt", "x");
  EXPECT_EQ(gf_countFilesInDirectory("airports/my_simaddon"), 2U);
  fs::create_symlink("EDDF.txt", "airports/my_simaddon/link.txt");
  fs::create_symlink("gone.txt", "airports/my_simaddon/dangling.txt");
  EXPECT_EQ(gf_countFilesInDirectory("airports/my_simaddon"), 3U);
  EXPECT_EQ(gf_countFilesInDirectory("airports/missing"), 0U);
  EXPECT_THROW(gf_countFilesInDirectory("airports/my_simaddon/EDDF.txt"), fs::filesystem_error);
}

TEST_F(Files, ListsXmlFileNamesOfThirdPartyAirports) {
  EXPECT_TRUE(gf_listXmlFiles().empty());
  fs::create_directories("airports/my_thirdparty/X.XML");
  for (const char* name : {"EDDF.xml", "EDDM.XML", "EDDF.txt"}) {
    writeFile(fs::path("airports/my_thirdparty") / name, name);
  }
  EXPECT_THAT(gf_listXmlFiles(), UnorderedElementsAre("EDDF.xml", "EDDM.XML"));
}

}  // namespace
}  // namespace cvl
