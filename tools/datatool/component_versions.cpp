#include "datatool/component_versions.h"

#include <fmt/format.h>

#include <charconv>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace cvl::datatool {
namespace {

std::int32_t parseVersionNumber(std::string_view piece, std::string_view text) {
  std::int32_t number = 0;
  const auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(), number);
  if (piece.empty() || error != std::errc{} || end != piece.data() + piece.size() || number < 0) {
    throw std::invalid_argument(fmt::format("'{}' is no version MAJOR.MINOR.PATCH", text));
  }
  return number;
}

}  // namespace

ComponentVersion parseComponentVersion(std::string_view text) {
  std::array<std::int32_t, 3> numbers{};
  std::string_view rest = text;
  for (std::size_t index = 0; index < numbers.size(); ++index) {
    const bool lastNumber = index + 1 == numbers.size();
    const std::size_t dot = rest.find('.');
    if (lastNumber != (dot == std::string_view::npos)) {
      throw std::invalid_argument(fmt::format("'{}' is no version MAJOR.MINOR.PATCH", text));
    }
    numbers[index] = parseVersionNumber(rest.substr(0, dot), text);
    rest = lastNumber ? std::string_view{} : rest.substr(dot + 1);
  }
  return {numbers[0], numbers[1], numbers[2]};
}

std::string versionText(const ComponentVersion& version) {
  return fmt::format("{}.{}.{}", version.major, version.minor, version.patch);
}

ComponentVersions defaultComponentVersions() {
  return {
      {"msfs", parseComponentVersion(CORVALEN_PROGRAM_VERSION)},
      {"simaddon", {1, 0, 0}},
      {"airports", {1, 2, 0}},
      {"aig", {1, 0, 5}},
      {"liveries", {2, 0, 0}},
      {"addons", {1, 0, 0}},
      {"dbase", {3, 1, 0}},
  };
}

std::string versionsJson(const ComponentVersions& versions) {
  nlohmann::ordered_json document = nlohmann::ordered_json::object();
  for (const std::string_view key : componentKeys) {
    if (const auto found = versions.find(key); found != versions.end()) {
      const ComponentVersion& version = found->second;
      document[std::string(key)] = {{"major", version.major}, {"minor", version.minor}, {"patch", version.patch}};
    }
  }
  return document.dump(2) + "\n";
}

}  // namespace cvl::datatool
