#include "rtemu/service_lines.h"

#include <array>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

namespace cvl::rtemu {
namespace {

template <typename Number>
bool lf_readWhole(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc{} && end == text.data() + text.size();
}

std::optional<std::string_view> lf_valueAfter(std::string_view line, std::string_view prefix) {
  if (!line.starts_with(prefix)) {
    return std::nullopt;
  }
  return line.substr(prefix.size());
}

}  // namespace

std::string versionReply(Edition edition, const std::string& version) {
  return nlohmann::json{{"level", edition == Edition::professional ? 2 : 1}, {"version", version}}.dump();
}

std::optional<PositionReport> parsePositionLine(std::string_view line) {
  auto rest = lf_valueAfter(line, "Qs121=");
  if (!rest) {
    return std::nullopt;
  }
  std::array<double, 7> values{};
  for (std::size_t index = 0; index < values.size(); ++index) {
    const std::size_t end = std::min(rest->find(';'), rest->size());
    const bool last = index + 1 == values.size();
    if ((end == rest->size()) != last || !lf_readWhole(rest->substr(0, end), values[index]) ||
        !std::isfinite(values[index])) {
      return std::nullopt;
    }
    rest->remove_prefix(std::min(end + 1, rest->size()));
  }
  return PositionReport{values[0], values[1], values[2], values[3], values[4], values[5], values[6]};
}

std::optional<std::int64_t> parseTimeLine(std::string_view line) {
  const auto rest = lf_valueAfter(line, "Qs123=");
  std::int64_t milliseconds = 0;
  if (!rest || !lf_readWhole(*rest, milliseconds)) {
    return std::nullopt;
  }
  return milliseconds;
}

}  // namespace cvl::rtemu
