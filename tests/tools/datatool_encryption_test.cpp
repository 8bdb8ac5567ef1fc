#include <gtest/gtest.h>
#include <sodium.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "datatool/data_file_encryption.h"
#include "support/temp_folder.h"
#include "tools/datatool_test_support.h"

namespace cvl::datatool {
namespace {

using test::openDataFile;
using test::readFile;
using test::TempFolder;
using test::writeFile;

constexpr std::size_t headerBytes = crypto_secretstream_xchacha20poly1305_HEADERBYTES;
constexpr std::size_t dataFileChunkBytes = 4096;
constexpr std::size_t fullMessageBytes = dataFileChunkBytes + crypto_secretstream_xchacha20poly1305_ABYTES;

std::string patternedText(std::size_t size) {
  std::string text(size, '\0');
  for (std::size_t index = 0; index < size; ++index) {
    text[index] = static_cast<char>('A' + index * 7 % 26);
  }
  return text;
}

class DataFileEncryption : public testing::TestWithParam<std::size_t> {};

TEST_P(DataFileEncryption, WritesFullMessagesAndOneFinalMessageThatTheReaderOpens) {
  TempFolder folder;
  const std::string plain = patternedText(GetParam());
  writeFile(folder.path() / "dbase.xml", plain);

  encryptDataFile(folder.path() / "dbase.xml", folder.path() / "dbase.enc");

  const std::string encrypted = readFile(folder.path() / "dbase.enc");
  const test::OpenedDataFile opened = openDataFile(encrypted);
  EXPECT_EQ(opened.plain, plain);
  const std::size_t messages = plain.empty() ? 1 : (plain.size() + dataFileChunkBytes - 1) / dataFileChunkBytes;
  ASSERT_EQ(opened.messageSizes.size(), messages);
  const std::size_t lastPlainBytes = plain.size() - (messages - 1) * dataFileChunkBytes;
  for (std::size_t index = 0; index + 1 < messages; ++index) {
    EXPECT_EQ(opened.messageSizes[index], fullMessageBytes);
    EXPECT_EQ(opened.tags[index], crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
  }
  EXPECT_EQ(opened.messageSizes.back(), lastPlainBytes + crypto_secretstream_xchacha20poly1305_ABYTES);
  EXPECT_EQ(opened.tags.back(), crypto_secretstream_xchacha20poly1305_TAG_FINAL);
  EXPECT_EQ(encrypted.size(), headerBytes + (messages - 1) * fullMessageBytes + opened.messageSizes.back());
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "dbase.enc.part"));
}

INSTANTIATE_TEST_SUITE_P(PlainSizes, DataFileEncryption, testing::Values(0, 1, 4096, 4097, 100000));

TEST(DataFileEncryptionFailure, KeepsTheFileAlreadyThere) {
  TempFolder folder;
  writeFile(folder.path() / "dbase.enc", "the good file");

  EXPECT_THROW(encryptDataFile(folder.path() / "missing.xml", folder.path() / "dbase.enc"), std::runtime_error);
  EXPECT_THROW(encryptDataFile(folder.path() / "dbase.enc", folder.path() / "no-such-folder" / "dbase.enc"),
               std::runtime_error);

  EXPECT_EQ(readFile(folder.path() / "dbase.enc"), "the good file");
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "dbase.enc.part"));
}

}  // namespace
}  // namespace cvl::datatool
