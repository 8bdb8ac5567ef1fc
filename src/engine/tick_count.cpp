#include "engine/tick_count.h"

namespace cvl {

std::atomic<std::int32_t> tickCount{0};

std::chrono::steady_clock::time_point gf_tickTime() {
  return std::chrono::steady_clock::time_point{} + std::chrono::milliseconds{1000 / ticksPerSecond} * tickCount.load();
}

}  // namespace cvl
