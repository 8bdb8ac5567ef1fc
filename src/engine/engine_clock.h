#pragma once

#include <cstdint>

// The clock of parked times: the system time in 100-ns units. Only differences of its values are used.
namespace cvl {

std::int64_t gf_nowIn100ns();

// Whole seconds between two values of the clock.
constexpr std::int64_t gf_secondsBetween(std::int64_t earlier, std::int64_t later) {
  return (later - earlier) / 10'000'000;
}

}  // namespace cvl
