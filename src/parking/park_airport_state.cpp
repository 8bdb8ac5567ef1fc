#include "parking/park_airport_state.h"

namespace cvl {

std::atomic<bool> parkAirportActive{false};
std::atomic<std::int32_t> rtTrafficWeek{0};

std::uint64_t gf_countStaticParked(bool /*withAverage*/) {
  return 0;
}

}  // namespace cvl
