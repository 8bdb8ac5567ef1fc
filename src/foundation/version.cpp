#include "foundation/version.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <tuple>

#include "foundation/log.h"

namespace cvl {
namespace {

[[noreturn]] void failParse() {
  throw std::runtime_error("parse error in version string");
}

bool isDigitRun(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "major.minor.patch": three runs of digits separated by real dots, so that "12345" is not taken for 1.3.5.
std::optional<std::array<std::string_view, 3>> dottedGroups(std::string_view text) {
  const auto firstDot = text.find('.');
  const auto secondDot = firstDot == std::string_view::npos ? firstDot : text.find('.', firstDot + 1);
  if (secondDot == std::string_view::npos) {
    return std::nullopt;
  }
  const std::array groups{text.substr(0, firstDot), text.substr(firstDot + 1, secondDot - firstDot - 1),
                          text.substr(secondDot + 1)};
  if (!std::all_of(groups.begin(), groups.end(), isDigitRun)) {
    return std::nullopt;
  }
  return groups;
}

std::int32_t dottedNumber(std::string_view digits) {
  std::int32_t number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc{} || end != digits.data() + digits.size()) {
    failParse();
  }
  return number;
}

// A version number in JSON must be a whole number that fits 32 bits; anything else is refused rather than cut.
std::int32_t jsonNumber(const nlohmann::json& value) {
  const auto number = value.get<double>();
  if (std::trunc(number) != number || number < std::numeric_limits<std::int32_t>::min() ||
      number > std::numeric_limits<std::int32_t>::max()) {
    failParse();
  }
  return static_cast<std::int32_t>(number);
}

void readInto(VersionData& version, std::string_view text) {
  if (const auto groups = dottedGroups(text)) {
    version.major = dottedNumber((*groups)[0]);
    version.minor = dottedNumber((*groups)[1]);
    version.patch = dottedNumber((*groups)[2]);
    return;
  }
  const auto json = nlohmann::json::parse(text);
  if (!json.is_object()) {
    return;
  }
  for (auto [key, number] : {std::tuple{"major", &version.major}, std::tuple{"minor", &version.minor},
                             std::tuple{"patch", &version.patch}}) {
    if (json.contains(key)) {
      *number = jsonNumber(json.at(key));
    }
  }
}

}  // namespace

VersionData::VersionData(std::string_view text) {
  if (text.empty()) {
    return;
  }
  try {
    readInto(*this, text);
  } catch (const std::exception& error) {
    gf_log(fmt::format("{} exception: {}", "VersionData", error.what()));
  }
}

std::string VersionData::toString() const {
  return fmt::format("{}.{}.{}", major, minor, patch);
}

bool VersionData::operator>(const VersionData& other) const {
  return std::tie(major, minor, patch) > std::tie(other.major, other.minor, other.patch);
}

}  // namespace cvl
