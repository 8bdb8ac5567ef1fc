#include "sceneryscan/bgl_decoder.h"

#include <fmt/format.h>

#include <array>
#include <fstream>

#include "app/sim_choice.h"
#include "foundation/log.h"
#include "foundation/text_encoding.h"
#include "sceneryscan/bgl_airport_record.h"
#include "sceneryscan/bgl_identifiers.h"
#include "sceneryscan/bgl_words.h"
#include "sceneryscan/non_complying_airports.h"

namespace cvl {
namespace {

// File header: its size (0x38 bytes) in word 1, the section count in word 5; the section headers, five words each,
// follow it from word 14.
constexpr std::size_t headerBytes = 56;
constexpr std::size_t sectionHeaderBytes = 20;
constexpr std::size_t shortestFile = 15;  // words
constexpr std::uint32_t headerSize = 0x38;
constexpr std::size_t headerSizeWord = 1;
constexpr std::size_t sectionCountWord = 5;
constexpr std::size_t firstSectionWord = 14;
constexpr std::size_t sectionHeaderWords = 5;
constexpr std::size_t sectionCountByte = 20;

// Section header: type, size flags, subsection count, offset of the first subsection header, total size. The records
// offset is word 2 of a subsection header.
constexpr std::uint32_t airportSectionType = 3;
constexpr std::size_t sizeFlagsWord = 1;
constexpr std::size_t subsectionOffsetWord = 3;
constexpr std::size_t recordsOffsetWord = 2;

// In MSFS 2024 scenery this record ends what the decoder can read of the file.
constexpr std::uint16_t endOfReadableRecordsId = 0x113;

constexpr std::size_t maxRecords = 5000;
constexpr std::size_t identifierWord = 10;

// Only sections with 16-byte subsection headers are read.
bool lf_hasShortSubsectionHeaders(std::uint32_t sizeFlags) {
  return ((sizeFlags & 0x10000U) | 0x40000U) == 0x40000U;
}

std::uint32_t lf_littleEndian(const std::array<char, 4>& bytes) {
  std::uint32_t value = 0;
  for (std::size_t byte = bytes.size(); byte-- > 0;) {
    value = (value << 8) | static_cast<unsigned char>(bytes[byte]);
  }
  return value;
}

std::optional<std::uint32_t> lf_readWordAt(std::ifstream& file, std::uint64_t offset) {
  std::array<char, 4> bytes{};
  file.seekg(static_cast<std::streamoff>(offset));
  if (!file.read(bytes.data(), bytes.size())) {
    return std::nullopt;
  }
  return lf_littleEndian(bytes);
}

// The word where the section's records start; nothing when the section is not read.
std::optional<std::size_t> lf_airportRecordsStart(const BglWords& words, std::size_t sectionHeader) {
  if (words.word(sectionHeader) != airportSectionType ||
      !lf_hasShortSubsectionHeaders(words.word(sectionHeader + sizeFlagsWord))) {
    return std::nullopt;
  }
  const std::size_t recordsOffset = words.word(sectionHeader + subsectionOffsetWord) / 4 + recordsOffsetWord;
  if (!words.has(recordsOffset)) {
    return std::nullopt;
  }
  return words.word(recordsOffset) / 4;
}

void lf_processAirport(const BglWords& words, std::size_t record, std::size_t sizeInWords,
                       const std::filesystem::path& bglPath) {
  // A record too short for its own header is no airport.
  if (sizeInWords < bglAirportHeaderWords || !words.has(record + bglAirportHeaderWords - 1)) {
    return;
  }
  const auto identifier = lf_decodeIcao(words.word(record + identifierWord));
  if (!identifier.valid) {
    return;
  }
  const auto checked = lf_isRealTrafficAirport(identifier.text);
  if (checked.accepted()) {
    lf_processAirportRecord(record, words, sizeInWords, checked.code, bglPath);
  }
}

enum class WalkEnd { section, file };

WalkEnd lf_walkRecords(const BglWords& words, std::size_t position, const std::filesystem::path& bglPath) {
  for (std::size_t walked = 0; words.has(position); ++walked) {
    if (walked == maxRecords) {
      gf_logFlagged("   Error: Maximum loop iterations reached \u2014 possible corrupt BGL or malformed input.");
      return WalkEnd::section;
    }
    const auto id = words.recordId(position);
    if (id == endOfReadableRecordsId && !msfs2020Mode) {
      lf_finishBglAirport(bglPath);
      return WalkEnd::file;
    }
    const auto size = words.recordSizeInWords(position);
    if (!size) {
      return WalkEnd::section;
    }
    if (id == bglAirportRecordId) {
      if (*size == 0) {
        gf_logFlagged(fmt::format("   Warning: decodeSizeAtBoundary returned {} at o2 = {}", *size, position));
        return WalkEnd::section;
      }
      lf_processAirport(words, position, *size, bglPath);
    }
    if (*size == 0) {
      return WalkEnd::section;
    }
    position += *size;
  }
  return WalkEnd::section;
}

}  // namespace

bool lf_hasAirportSection(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return false;
  }
  file.seekg(0, std::ios::end);
  const auto end = file.tellg();
  if (end < static_cast<std::streamoff>(headerBytes + 1)) {
    return false;
  }
  const auto fileSize = static_cast<std::uint64_t>(end);
  const auto sections = lf_readWordAt(file, sectionCountByte);
  if (!sections || *sections == 0 || *sections > (fileSize - headerBytes) / sectionHeaderBytes) {
    return false;
  }
  for (std::uint64_t section = 0; section < *sections; ++section) {
    const auto type = lf_readWordAt(file, headerBytes + sectionHeaderBytes * section);
    if (!type) {
      return false;
    }
    if (*type == airportSectionType) {
      return true;
    }
  }
  return false;
}

void lf_processBglWords(const std::vector<std::uint32_t>& fileWords, const std::filesystem::path& bglPath) {
  const BglWords words{fileWords};
  if (words.size() < shortestFile || words.word(headerSizeWord) != headerSize) {
    return;
  }
  const std::size_t sections = words.word(sectionCountWord);
  if (sections == 0 || firstSectionWord + sectionHeaderWords * sections > words.size()) {
    return;
  }
  for (std::size_t section = 0; section < sections; ++section) {
    const auto start = lf_airportRecordsStart(words, firstSectionWord + sectionHeaderWords * section);
    if (start && lf_walkRecords(words, *start, bglPath) == WalkEnd::file) {
      return;
    }
  }
}

void lf_processBGLfile(const std::filesystem::path& path) {
  try {
    std::vector<std::uint32_t> words;
    {
      std::ifstream file(path, std::ios::binary);
      if (!file) {
        return;
      }
      words = lf_readBglWords(file);
    }
    lf_processBglWords(words, path);
  } catch (const std::exception& failure) {
    gf_logFlagged(
        fmt::format("Exception in lf_processBGLfile (std::ex): {} \u2014 {}", gf_pathToUtf8(path), failure.what()));
    throw;
  } catch (...) {
    gf_logFlagged(fmt::format("Exception in lf_processBGLfile: {}", gf_pathToUtf8(path)));
    throw;
  }
}

}  // namespace cvl
