#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The week time on which learned airport occupations are keyed, and the half-hour sets of the airport files.
namespace cvl {

inline constexpr int halfHoursPerDay = 48;
inline constexpr int halfHoursPerWeek = 7 * halfHoursPerDay;

// A day of the week (1 Monday to 7 Sunday) and a half-hour slot of the day (0 to 47). Slot 2h runs from h:00:00 to
// h:29:29 and slot 2h+1 from h:29:30 to h:59:59. A half whose time did not convert holds -1; the default value, which
// packs to 0, means "not set".
struct WeekTime {
  std::int32_t day{0};
  std::int32_t halfHour{0};

  // One 64-bit word, day in the low half and slot in the high half, so that the current value fits one atomic.
  constexpr std::uint64_t packed() const {
    return static_cast<std::uint32_t>(day) | static_cast<std::uint64_t>(static_cast<std::uint32_t>(halfHour)) << 32;
  }
  static constexpr WeekTime unpacked(std::uint64_t word) {
    return {static_cast<std::int32_t>(static_cast<std::uint32_t>(word)),
            static_cast<std::int32_t>(static_cast<std::uint32_t>(word >> 32))};
  }

  // 0 to 335: the slot counted from Monday 00:00:00.
  constexpr int weekSlot() const { return (day - 1) * halfHoursPerDay + halfHour; }

  bool operator==(const WeekTime&) const = default;
};

// Slots from earlier to later, wrapping around the week: 0 to 335.
constexpr int gf_weekSlotsBetween(const WeekTime& earlier, const WeekTime& later) {
  return (later.weekSlot() - earlier.weekSlot() + halfHoursPerWeek) % halfHoursPerWeek;
}

// Bit k for slot k of a day. test and set throw std::out_of_range outside 0..47.
using HalfHourSet = std::bitset<halfHoursPerDay>;

// The week time of a time value; both halves -1 when the value cannot be converted.
WeekTime gf_weekTimeOf(std::int64_t seconds);
// The week time of the traffic clock, read once.
WeekTime gf_weekdayAndHalfHour();

// "a:b" (inclusive, ascending) or "a,b,c". Bad input is logged: a bad range gives the empty set, bad list pieces are
// left out.
HalfHourSet gf_hours2bitset(std::string_view text);
// A slot number 0..47 read from the start of a piece (characters after the digits ignored); logged when invalid.
std::optional<int> lf_parseHalfHour(std::string_view piece, std::string_view wholeText);
// "a:b" for one unbroken run, "a" for a single slot, "a,b,c" for a set with gaps; nothing for the empty set.
std::optional<std::string> gf_bitset2hours(const HalfHourSet& set);

}  // namespace cvl
