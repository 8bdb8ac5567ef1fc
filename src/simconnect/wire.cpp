#include "simconnect/wire.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace cvl::simconnect {
namespace {

void appendLittleEndian(Frame& bytes, std::uint64_t value, int count) {
  for (int i = 0; i < count; ++i) {
    bytes.push_back(static_cast<std::byte>((value >> (8 * i)) & 0xFF));
  }
}

std::uint64_t readLittleEndian(std::span<const std::byte> bytes) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    value |= static_cast<std::uint64_t>(std::to_integer<std::uint8_t>(bytes[i])) << (8 * i);
  }
  return value;
}

}  // namespace

void Writer::put(std::uint32_t value) {
  appendLittleEndian(bytes_, value, 4);
}
void Writer::put(float value) {
  appendLittleEndian(bytes_, std::bit_cast<std::uint32_t>(value), 4);
}
void Writer::put(double value) {
  appendLittleEndian(bytes_, std::bit_cast<std::uint64_t>(value), 8);
}

void Writer::put(const std::string& text) {
  put(static_cast<std::uint32_t>(text.size()));
  const auto* first = reinterpret_cast<const std::byte*>(text.data());
  bytes_.insert(bytes_.end(), first, first + text.size());
}

void Writer::put(const Frame& block) {
  put(static_cast<std::uint32_t>(block.size()));
  bytes_.insert(bytes_.end(), block.begin(), block.end());
}

std::size_t Writer::strnlen(const char* text, std::size_t limit) {
  return static_cast<std::size_t>(std::find(text, text + limit, '\0') - text);
}

std::span<const std::byte> Reader::take(std::size_t count) {
  if (!ok_ || bytes_.size() - position_ < count) {
    ok_ = false;
    return {};
  }
  auto part = bytes_.subspan(position_, count);
  position_ += count;
  return part;
}

void Reader::get(std::uint32_t& value) {
  auto part = take(4);
  value = ok_ ? static_cast<std::uint32_t>(readLittleEndian(part)) : 0;
}

void Reader::get(float& value) {
  std::uint32_t bits = 0;
  get(bits);
  value = std::bit_cast<float>(bits);
}

void Reader::get(double& value) {
  auto part = take(8);
  value = ok_ ? std::bit_cast<double>(readLittleEndian(part)) : 0.0;
}

void Reader::get(std::string& text) {
  std::uint32_t size = 0;
  get(size);
  if (size > maxFieldBytes) {
    ok_ = false;
  }
  auto part = take(size);
  text.assign(reinterpret_cast<const char*>(part.data()), part.size());
}

void Reader::get(Frame& block) {
  std::uint32_t size = 0;
  get(size);
  if (size > maxFieldBytes) {
    ok_ = false;
  }
  auto part = take(size);
  block.assign(part.begin(), part.end());
}

void Reader::copyBounded(const std::string& value, char* text, std::size_t size) {
  const auto count = std::min(value.size(), size - 1);
  std::memcpy(text, value.data(), count);
  std::memset(text + count, 0, size - count);
}

}  // namespace cvl::simconnect
