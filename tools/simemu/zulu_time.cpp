#include "simemu/zulu_time.h"

#include <chrono>

namespace cvl::simemu {

ZuluTime zuluTimeAt(std::int64_t unixSeconds) {
  using namespace std::chrono;
  const sys_seconds moment{seconds{unixSeconds}};
  const auto day = floor<days>(moment);
  const year_month_day date{day};
  const auto newYear = sys_days{date.year() / January / 1};
  return {(moment - day).count(), (day - newYear).count() + 1, static_cast<int>(date.year())};
}

}  // namespace cvl::simemu
