#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The version of the program and of each downloadable data file: major, minor and patch, compared in that order.
namespace cvl {

struct VersionData {
  std::int32_t major{0};
  std::int32_t minor{0};
  std::int32_t patch{0};

  constexpr VersionData() = default;
  constexpr VersionData(std::int32_t majorNumber, std::int32_t minorNumber, std::int32_t patchNumber)
      : major{majorNumber}, minor{minorNumber}, patch{patchNumber} {}
  // Reads "major.minor.patch" or a JSON object with the keys "major", "minor" and "patch". Never throws: a text it
  // cannot read gives 0.0.0 (or keeps the numbers read before the fault) and one log line.
  explicit VersionData(std::string_view text);

  // "{}.{}.{}", for example 11.10.3.
  std::string toString() const;
  std::string toStringCopy() const { return toString(); }

  // True only when this version is strictly newer.
  bool operator>(const VersionData& other) const;
  bool operator==(const VersionData& other) const = default;
};

}  // namespace cvl
