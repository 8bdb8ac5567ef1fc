#include "refdata/decryption.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "program_folder.h"
#include "refdata/data_file_sealing.h"

namespace cvl {
namespace {

using test::ProgramFolder;
using test::readFile;
using test::writeFile;
using ::testing::HasSubstr;

const std::filesystem::path encPath{"input/data.enc"};
const std::filesystem::path plainPath{"input/data.xml"};

std::string patterned(std::size_t size) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    text[i] = static_cast<char>((i * 7 + i / 4096) % 256);
  }
  return text;
}

TEST(Decryption, RoundTripRestoresEveryByteOfAnySize) {
  const ProgramFolder folder;
  for (const std::size_t size : {0UL, 1UL, 4095UL, 4096UL, 8192UL, 10000UL}) {
    SCOPED_TRACE(size);
    const auto plain = patterned(size);
    writeFile(encPath, gf_sealDataBytes(plain));
    ASSERT_TRUE(gf_streamDecrypt(encPath, plainPath));
    EXPECT_EQ(readFile(plainPath), plain);
  }
}

TEST(Decryption, BytesAfterAFullFinalMessageAreNotRead) {
  const ProgramFolder folder;
  const auto plain = patterned(8192);
  const auto sealed = gf_sealDataBytes(plain);
  for (const std::string& extra : {std::string("x"), sealed.substr(encHeaderBytes, encSealedChunkBytes)}) {
    SCOPED_TRACE(extra.size());
    writeFile(encPath, sealed + extra);
    ASSERT_TRUE(gf_streamDecrypt(encPath, plainPath));
    EXPECT_EQ(readFile(plainPath), plain);
  }
  EXPECT_EQ(folder.log(), "");
}

TEST(Decryption, MessagesAreCutWhereTheReaderCutsThem) {
  // 10000 plain bytes: two full messages of 4113 bytes and a FINAL one of 1808 + 17.
  EXPECT_EQ(gf_sealDataBytes(patterned(10000)).size(), encHeaderBytes + 2 * encSealedChunkBytes + 1808 + 17);
  EXPECT_EQ(gf_sealDataBytes("").size(), encHeaderBytes + 17);
}

struct BadFile {
  const char* what;
  std::string bytes;
  const char* reason;
};

std::vector<BadFile> badFiles() {
  const auto sealed = gf_sealDataBytes(patterned(10000));
  std::array<std::uint8_t, dataFileKeyBytes> otherKey{};
  otherKey.fill(7);
  auto tampered = sealed;
  tampered[5000] = static_cast<char>(tampered[5000] ^ 1);
  const auto twoFullMessages = encHeaderBytes + 2 * encSealedChunkBytes;
  return {
      {"another key", gf_sealDataBytes(patterned(10000), otherKey), "Decryption failed"},
      {"an altered byte", tampered, "Decryption failed"},
      {"the last message cut short", sealed.substr(0, sealed.size() - 1), "Decryption failed"},
      {"no FINAL message", sealed.substr(0, twoFullMessages),
       "Decryption failed: the file ends before its final chunk"},
      {"the header alone", sealed.substr(0, encHeaderBytes), "Decryption failed: the file ends before its final chunk"},
      {"less than a header", sealed.substr(0, 10), "Invalid header or key"},
      {"an empty file", "", "Invalid header or key"},
      // Extra bytes join a short FINAL message, which then fails authentication.
      {"bytes after a short FINAL", sealed + "x", "Decryption failed"},
  };
}

TEST(Decryption, IncompleteOrAlteredFilesFailAndLeaveNoPlainFile) {
  const ProgramFolder folder;
  for (const auto& bad : badFiles()) {
    SCOPED_TRACE(bad.what);
    writeFile(encPath, bad.bytes);
    writeFile(plainPath, "an older plain file");
    EXPECT_FALSE(gf_streamDecrypt(encPath, plainPath));
    EXPECT_FALSE(std::filesystem::exists(plainPath));
    EXPECT_THAT(folder.log(), HasSubstr(fmt::format("gf_streamDecrypt exception: {}\n", bad.reason)));
  }
}

TEST(Decryption, FilesThatCannotBeOpenedAreNamed) {
  const ProgramFolder folder;
  EXPECT_FALSE(gf_streamDecrypt("input/missing.enc", plainPath));
  writeFile(encPath, gf_sealDataBytes("<root/>"));
  EXPECT_FALSE(gf_streamDecrypt(encPath, "no_folder/data.xml"));
  EXPECT_EQ(folder.log(),
            "gf_streamDecrypt exception: Could not open input file: input/missing.enc (No such file or directory)\n"
            "gf_streamDecrypt exception: Could not open output file: no_folder/data.xml\n");
}

TEST(Decryption, RemovingAFileThatIsNotThereIsSilent) {
  const ProgramFolder folder;
  writeFile(plainPath, "plain");
  gf_removeFile(plainPath);
  gf_removeFile(plainPath);
  EXPECT_FALSE(std::filesystem::exists(plainPath));
  EXPECT_EQ(folder.log(), "");
}

}  // namespace
}  // namespace cvl
