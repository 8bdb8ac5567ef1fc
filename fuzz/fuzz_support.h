#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

// What the fuzz targets share: the check that makes the fuzzer report its input, and the input as text or as a file.
namespace cvl::fuzz {

// A promise of the code under test is broken: the abort makes the fuzzer keep the input that broke it.
inline void check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The bytes as the whole content of the file (its folder exists).
inline void writeWholeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace cvl::fuzz
