#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <vector>

// A BGL scenery file as little-endian 32-bit words, and the bounds-checked reads the decoder makes on them. Records
// start on word boundaries; every position is a word index.
namespace cvl {

// The whole stream as words; a last partial word is padded with zero bytes.
std::vector<std::uint32_t> lf_readBglWords(std::istream& stream);

class BglWords {
 public:
  explicit BglWords(const std::vector<std::uint32_t>& words) : words_(words) {}

  std::size_t size() const { return words_.size(); }
  bool has(std::size_t index) const { return index < words_.size(); }

  // Reads of a word the caller has checked with has().
  std::uint32_t word(std::size_t index) const { return words_[index]; }
  std::int32_t signedWord(std::size_t index) const;
  float floatWord(std::size_t index) const;

  // The id of the record at the position: the low half of its first word.
  std::uint16_t recordId(std::size_t position) const { return static_cast<std::uint16_t>(words_[position]); }
  // The high half of the word: the second u16 it holds.
  std::uint16_t highHalf(std::size_t index) const { return static_cast<std::uint16_t>(words_[index] >> 16); }

  // The record's size in whole words, from the u32 at its byte 2; nothing when that lies outside the file.
  std::optional<std::size_t> recordSizeInWords(std::size_t position) const;

 private:
  const std::vector<std::uint32_t>& words_;
};

// A raw BGL latitude and longitude in degrees.
double lf_bglLatitude(std::uint32_t raw);
double lf_bglLongitude(std::uint32_t raw);

}  // namespace cvl
