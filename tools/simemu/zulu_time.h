#pragma once

#include <cstdint>

namespace cvl::simemu {

// The simulator's date and time as its datums give them.
struct ZuluTime {
  std::int64_t secondsOfDay = 0;
  std::int64_t dayOfYear = 1;  // 1 = the first of January
  std::int64_t year = 1970;
};

ZuluTime zuluTimeAt(std::int64_t unixSeconds);

}  // namespace cvl::simemu
