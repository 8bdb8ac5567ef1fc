#pragma once

#include <cstdint>

namespace cvl {

// The size class of an aircraft, which decides its motion (see the per-category tables) and which traffic is accepted.
enum class AcCategory : std::uint32_t {
  Light = 0,
  Buzjets = 1,
  Large = 2,
  Heavy = 3,
  HighPerf = 4,
  Rotorcraft = 5,
};

}  // namespace cvl
