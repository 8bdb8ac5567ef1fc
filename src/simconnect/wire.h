#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

// The byte form of everything that passes between the client library and the simulator: unsigned 32-bit numbers,
// floats and doubles in little-endian order, texts and byte blocks with a 32-bit length in front. A writer and a
// reader take the same field lists, so each record is described once (see protocol.cpp).
namespace cvl::simconnect {

using Frame = std::vector<std::byte>;

// The longest text or byte block a record may carry; a longer length marks a damaged frame.
inline constexpr std::uint32_t maxFieldBytes = 1u << 20;

class Writer {
 public:
  template <class... Fields>
  void operator()(const Fields&... fields) {
    (put(fields), ...);
  }

  Frame take() { return std::move(bytes_); }

 private:
  void put(std::uint32_t value);
  void put(float value);
  void put(double value);
  void put(const std::string& text);
  void put(const Frame& block);
  template <std::size_t N>
  void put(const char (&text)[N]) {
    put(std::string(text, strnlen(text, N)));
  }
  template <class Enum>
  requires std::is_enum_v<Enum>
  void put(Enum value) { put(static_cast<std::uint32_t>(value)); }

  static std::size_t strnlen(const char* text, std::size_t limit);

  Frame bytes_;
};

// Reads fields in the order they were written. A frame that ends early or carries an impossible length leaves the
// reader failed: every later field reads as zero or empty, and ok() tells the caller to drop the frame.
class Reader {
 public:
  explicit Reader(std::span<const std::byte> bytes) : bytes_(bytes) {}

  template <class... Fields>
  void operator()(Fields&... fields) {
    (get(fields), ...);
  }

  bool ok() const { return ok_; }
  bool atEnd() const { return position_ == bytes_.size(); }

 private:
  void get(std::uint32_t& value);
  void get(float& value);
  void get(double& value);
  void get(std::string& text);
  void get(Frame& block);
  template <std::size_t N>
  void get(char (&text)[N]) {
    std::string value;
    get(value);
    copyBounded(value, text, N);
  }
  template <class Enum>
  requires std::is_enum_v<Enum>
  void get(Enum& value) {
    std::uint32_t number = 0;
    get(number);
    value = static_cast<Enum>(number);
  }

  static void copyBounded(const std::string& value, char* text, std::size_t size);
  std::span<const std::byte> take(std::size_t count);

  std::span<const std::byte> bytes_;
  std::size_t position_ = 0;
  bool ok_ = true;
};

}  // namespace cvl::simconnect
