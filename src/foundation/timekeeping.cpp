#include "foundation/timekeeping.h"

#include <fmt/format.h>

#include <array>
#include <chrono>
#include <cmath>

#include "trafficin/traffic_reader.h"

namespace cvl {
namespace {

// 3000-12-31 23:59:59 UTC, the last second of the calendar range the program supports.
constexpr std::int64_t lastConvertibleSecond = 32535215999;
constexpr std::int64_t secondsPerDay = 86400;

constexpr std::array<std::string_view, 7> dayNames{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::array<std::string_view, 12> monthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Okt", "Nov", "Dec"};
constexpr std::string_view unknownName = "???";
constexpr std::string_view invalidTimeText = "Invalid time";

// The traffic service's data time, truncated to whole seconds, when it is one the calendar can show; it comes from
// outside, so anything else (0 before the first line, negative, not a number, far future) is not used.
std::optional<std::int64_t> usableTrafficTime() {
  const double latest = std::trunc(trafficReader.latestTime.load());
  if (!(latest > 0 && latest <= static_cast<double>(lastConvertibleSecond))) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(latest);
}

}  // namespace

std::optional<UtcTime> gf_utcTime(std::int64_t seconds) {
  if (seconds < 0 || seconds > lastConvertibleSecond) {
    return std::nullopt;
  }
  using namespace std::chrono;
  const sys_days date{days{seconds / secondsPerDay}};
  const year_month_day ymd{date};
  const auto secondOfDay = static_cast<int>(seconds % secondsPerDay);
  return UtcTime{static_cast<int>(ymd.year()),
                 static_cast<int>(static_cast<unsigned>(ymd.month())),
                 static_cast<int>(static_cast<unsigned>(ymd.day())),
                 static_cast<int>(weekday{date}.iso_encoding()),
                 secondOfDay / 3600,
                 secondOfDay / 60 % 60,
                 secondOfDay % 60};
}

std::string_view gf_dayName(int weekday) {
  return weekday >= 1 && weekday <= 7 ? dayNames[static_cast<std::size_t>(weekday - 1)] : unknownName;
}

std::string_view gf_monthName(int month) {
  return month >= 1 && month <= 12 ? monthNames[static_cast<std::size_t>(month - 1)] : unknownName;
}

std::string gf_timeText(std::int64_t seconds) {
  const auto utc = gf_utcTime(seconds);
  if (!utc) {
    return std::string(invalidTimeText);
  }
  return fmt::format("{:3} {:3} {:02} {:02}:{:02}:{:02} {:4}", gf_dayName(utc->weekday), gf_monthName(utc->month),
                     utc->day, utc->hour, utc->minute, utc->second, utc->year);
}

std::string gf_hmsText(std::int64_t seconds) {
  const auto utc = gf_utcTime(seconds);
  if (!utc) {
    return "??:??:??";
  }
  return fmt::format("{:02}:{:02}:{:02}", utc->hour, utc->minute, utc->second);
}

std::string gf_dateTextOf(std::int64_t seconds) {
  const auto utc = gf_utcTime(seconds);
  if (!utc) {
    return std::string(invalidTimeText);
  }
  return fmt::format("{:3} {:02}, {:4}", gf_monthName(utc->month), utc->day, utc->year);
}

std::int64_t gf_systemNow() {
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t gf_trafficNow() {
  if (rtProfessional.load()) {
    if (const auto trafficTime = usableTrafficTime()) {
      return *trafficTime;
    }
  }
  return gf_systemNow();
}

std::string gf_utcNowHms() {
  return gf_hmsText(gf_systemNow());
}

std::string gf_trafficNowHms() {
  return gf_hmsText(gf_trafficNow());
}

std::string gf_dateText() {
  return gf_dateTextOf(gf_systemNow());
}

}  // namespace cvl
