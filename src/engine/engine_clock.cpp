#include "engine/engine_clock.h"

#include <chrono>

namespace cvl {

std::int64_t gf_nowIn100ns() {
  using Hundreds = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
  return std::chrono::duration_cast<Hundreds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace cvl
