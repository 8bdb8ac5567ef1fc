#include "foundation/zip_archive.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

#include "support/temp_folder.h"

namespace cvl {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;
using testing::ElementsAre;

std::vector<std::string> names(const std::vector<ZipEntry>& entries) {
  std::vector<std::string> result;
  for (const auto& entry : entries) {
    result.push_back(entry.name);
  }
  return result;
}

class ZipArchiveTest : public testing::Test {
 protected:
  ZipArchiveTest() {
    auto archive = ZipArchive::create(zipPath);
    EXPECT_TRUE(archive.add("folder/", ""));
    EXPECT_TRUE(archive.add("folder/first.txt", "first entry\n"));
    EXPECT_TRUE(archive.add("second.bin", large));
    EXPECT_TRUE(archive.close());
  }

  TempFolder folder;
  std::filesystem::path zipPath = folder.path() / "test.zip";
  std::string large = std::string(300'000, 'x') + "end";
};

TEST_F(ZipArchiveTest, EntriesComeBackInArchiveOrderWithTheirBytes) {
  auto archive = ZipArchive::openForReading(zipPath);
  ASSERT_TRUE(archive.isOpen());
  const auto entries = archive.entries();
  EXPECT_THAT(names(entries), ElementsAre("folder/", "folder/first.txt", "second.bin"));
  EXPECT_TRUE(entries[0].isFolder());
  EXPECT_FALSE(entries[1].isFolder());
  EXPECT_EQ(entries[2].size, large.size());
  EXPECT_EQ(archive.read(entries[1]), "first entry\n");
  EXPECT_EQ(archive.read(entries[2]), large);
  EXPECT_TRUE(archive.close());
}

TEST_F(ZipArchiveTest, PiecesNeverExceedTheirSizeAndARefusingSinkEndsTheRead) {
  auto archive = ZipArchive::openForReading(zipPath);
  const auto entry = archive.entries().at(2);
  std::string joined;
  std::size_t largest = 0;
  EXPECT_EQ(archive.readInPieces(entry, 0x10000,
                                 [&](const char* bytes, std::size_t count) {
                                   joined.append(bytes, count);
                                   largest = std::max(largest, count);
                                   return true;
                                 }),
            0);
  EXPECT_EQ(joined, large);
  EXPECT_LE(largest, 0x10000U);
  EXPECT_EQ(archive.readInPieces(entry, 0x10000, [](const char*, std::size_t) { return false; }), ZIP_ER_WRITE);
}

TEST_F(ZipArchiveTest, DamagedBytesFailTheirChecksum) {
  std::string bytes = readFile(zipPath);
  const auto at = bytes.find("first entry");
  ASSERT_NE(at, std::string::npos);  // stored, not compressed: too short to gain
  bytes[at] = 'F';
  writeFile(zipPath, bytes);
  auto archive = ZipArchive::openForReading(zipPath);
  ASSERT_TRUE(archive.isOpen());
  EXPECT_EQ(archive.read(archive.entries().at(1)), std::nullopt);
  EXPECT_EQ(archive.read(archive.entries().at(2)), large);
}

TEST(ZipArchive, WhatIsNoZipDoesNotOpen) {
  TempFolder folder;
  writeFile(folder.path() / "plain.zip", "this is not a zip archive");
  const auto notZip = ZipArchive::openForReading(folder.path() / "plain.zip");
  EXPECT_FALSE(notZip.isOpen());
  EXPECT_FALSE(notZip.errorText().empty());
  EXPECT_FALSE(ZipArchive::openForReading(folder.path() / "missing.zip").isOpen());
  ZipArchive closed;
  EXPECT_TRUE(closed.entries().empty());
  EXPECT_FALSE(closed.add("a", "b"));
  EXPECT_FALSE(closed.close());
}

}  // namespace
}  // namespace cvl
