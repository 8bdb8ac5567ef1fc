#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Time texts in UTC, the system clock and the traffic clock. Time values are whole seconds since 1970-01-01 00:00
// UTC. The text functions that take a time value are the seam the clock-reading ones are built on.
namespace cvl {

// A time value broken down in UTC; weekday 1 is Monday, 7 Sunday.
struct UtcTime {
  int year;
  int month;
  int day;
  int weekday;
  int hour;
  int minute;
  int second;
};

// Nothing for a negative time or one after the end of the year 3000 (the calendar range the program supports).
std::optional<UtcTime> gf_utcTime(std::int64_t seconds);

// "Mon".."Sun" for 1..7, "Jan".."Dec" for 1..12 (October is "Okt"); "???" outside.
std::string_view gf_dayName(int weekday);
std::string_view gf_monthName(int month);

// "Tue Dec 08 00:20:37 2026", or "Invalid time" when the value cannot be converted.
std::string gf_timeText(std::int64_t seconds);
// "00:20:37", or "??:??:??" when the value cannot be converted.
std::string gf_hmsText(std::int64_t seconds);
// "Dec 08, 2026", or "Invalid time" when the value cannot be converted.
std::string gf_dateTextOf(std::int64_t seconds);

// The system's current UTC time.
std::int64_t gf_systemNow();
// The traffic service's data time while its professional edition is connected and a usable data time has arrived,
// else the system's time.
std::int64_t gf_trafficNow();

std::string gf_utcNowHms();
std::string gf_trafficNowHms();
// The date written into the header of the program's XML files.
std::string gf_dateText();

}  // namespace cvl
