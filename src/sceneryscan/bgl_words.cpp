#include "sceneryscan/bgl_words.h"

#include <bit>
#include <string>

namespace cvl {
namespace {

constexpr double latitudeUnit = 180.0 / 536870912.0;           // 180 degrees over 2^29
constexpr double longitudeUnit = 360.0 / (3.0 * 268435456.0);  // 360 degrees over 3 x 2^28

}  // namespace

std::vector<std::uint32_t> lf_readBglWords(std::istream& stream) {
  stream.seekg(0, std::ios::end);
  const auto end = stream.tellg();
  stream.seekg(0, std::ios::beg);
  if (end <= 0 || !stream) {
    return {};
  }
  std::string bytes(static_cast<std::size_t>(end), '\0');
  stream.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(stream.gcount()));
  bytes.resize((bytes.size() + 3) / 4 * 4, '\0');
  std::vector<std::uint32_t> words(bytes.size() / 4);
  for (std::size_t index = 0; index < words.size(); ++index) {
    std::uint32_t word = 0;
    for (std::size_t byte = 4; byte-- > 0;) {
      word = (word << 8) | static_cast<unsigned char>(bytes[index * 4 + byte]);
    }
    words[index] = word;
  }
  return words;
}

std::int32_t BglWords::signedWord(std::size_t index) const {
  return std::bit_cast<std::int32_t>(words_[index]);
}

float BglWords::floatWord(std::size_t index) const {
  return std::bit_cast<float>(words_[index]);
}

std::optional<std::size_t> BglWords::recordSizeInWords(std::size_t position) const {
  if (!has(position + 1)) {
    return std::nullopt;
  }
  const std::uint32_t bytes = (words_[position] >> 16) | ((words_[position + 1] & 0xFFFFU) << 16);
  return bytes / 4;
}

double lf_bglLatitude(std::uint32_t raw) {
  return 90.0 - raw * latitudeUnit;
}

double lf_bglLongitude(std::uint32_t raw) {
  return raw * longitudeUnit - 180.0;
}

}  // namespace cvl
