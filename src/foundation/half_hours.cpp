#include "foundation/half_hours.h"

#include <fmt/format.h>

#include <charconv>
#include <vector>

#include "foundation/log.h"
#include "foundation/timekeeping.h"

namespace cvl {
namespace {

constexpr std::string_view whitespace = " \t\n\v\f\r";

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(whitespace);
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(whitespace) - first + 1);
}

// The pieces between separators, trimmed; a separator at the end gives an empty last piece.
std::vector<std::string_view> trimmedPieces(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  for (std::size_t start = 0;;) {
    const auto end = text.find(separator, start);
    pieces.push_back(trimmed(text.substr(start, end == std::string_view::npos ? end : end - start)));
    if (end == std::string_view::npos) {
      return pieces;
    }
    start = end + 1;
  }
}

HalfHourSet rangeForm(std::string_view text) {
  std::vector<int> bounds;
  bool failed = false;
  for (const auto piece : trimmedPieces(text, ':')) {
    if (bounds.size() == 2) {
      gf_logFlagged(fmt::format("{} more than one colon char in: {}", "gf_hours2bitset", gf_excerpt(text)));
      return {};
    }
    if (const auto slot = lf_parseHalfHour(piece, text)) {
      bounds.push_back(*slot);
    } else {
      failed = true;
    }
  }
  if (failed) {
    return {};
  }
  const int first = bounds[0];
  const int last = bounds[1];
  if (first > last) {
    gf_logFlagged(
        fmt::format("{} descending range not allowed ({}:{} in {})", "gf_hours2bitset", first, last, gf_excerpt(text)));
    return {};
  }
  HalfHourSet set;
  for (int slot = first; slot <= last; ++slot) {
    set.set(static_cast<std::size_t>(slot));
  }
  return set;
}

HalfHourSet listForm(std::string_view text) {
  HalfHourSet set;
  if (text.empty()) {
    return set;
  }
  for (const auto piece : trimmedPieces(text, ',')) {
    if (const auto slot = lf_parseHalfHour(piece, text)) {
      set.set(static_cast<std::size_t>(*slot));
    }
  }
  return set;
}

}  // namespace

WeekTime gf_weekTimeOf(std::int64_t seconds) {
  const auto utc = gf_utcTime(seconds);
  if (!utc) {
    return {-1, -1};
  }
  const bool secondHalf = utc->minute > 29 || (utc->minute == 29 && utc->second >= 30);
  return {utc->weekday, utc->hour * 2 + (secondHalf ? 1 : 0)};
}

WeekTime gf_weekdayAndHalfHour() {
  return gf_weekTimeOf(gf_trafficNow());
}

HalfHourSet gf_hours2bitset(std::string_view text) {
  return text.find(':') != std::string_view::npos ? rangeForm(text) : listForm(text);
}

std::optional<int> lf_parseHalfHour(std::string_view piece, std::string_view wholeText) {
  const auto number = trimmed(piece);
  int slot = -1;
  const auto parsed = std::from_chars(number.data(), number.data() + number.size(), slot);
  if (parsed.ec != std::errc{} || slot < 0 || slot >= halfHoursPerDay) {
    gf_logFlagged(fmt::format("{} invalid hour '{}' in {}", "operator ()", gf_excerpt(number), gf_excerpt(wholeText)));
    return std::nullopt;
  }
  return slot;
}

std::optional<std::string> gf_bitset2hours(const HalfHourSet& set) {
  if (set.none()) {
    return std::nullopt;
  }
  std::vector<int> slots;
  for (int slot = 0; slot < halfHoursPerDay; ++slot) {
    if (set.test(static_cast<std::size_t>(slot))) {
      slots.push_back(slot);
    }
  }
  const int lowest = slots.front();
  const int highest = slots.back();
  if (lowest == highest) {
    return fmt::format("{}", lowest);
  }
  if (static_cast<int>(slots.size()) == highest - lowest + 1) {
    return fmt::format("{}:{}", lowest, highest);
  }
  // A set with gaps is written in the list form, which the reader takes back unchanged.
  return fmt::format("{}", fmt::join(slots, ","));
}

}  // namespace cvl
