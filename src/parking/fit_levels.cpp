#include "parking/fit_levels.h"

#include <array>
#include <utility>

namespace cvl {

float gf_fitLevelToHours(std::int32_t level) {
  if (level <= 0) {
    return 0.5F;
  }
  if (level <= 9) {
    return static_cast<float>(level + 1) / 2.0F;
  }
  // The lowest level of each step above 11 and its hours.
  static constexpr std::array<std::pair<std::int32_t, float>, 10> steps{{{44, 24.0F},
                                                                         {38, 21.0F},
                                                                         {32, 18.0F},
                                                                         {26, 15.0F},
                                                                         {22, 12.0F},
                                                                         {20, 11.0F},
                                                                         {18, 10.0F},
                                                                         {16, 9.0F},
                                                                         {14, 8.0F},
                                                                         {12, 7.0F}}};
  for (const auto& [lowest, hours] : steps) {
    if (level >= lowest) {
      return hours;
    }
  }
  return 6.0F;  // levels 10 and 11
}

}  // namespace cvl
