#pragma once

#include <atomic>
#include <cstdint>

// The engine's clock.
namespace cvl {

inline constexpr std::int32_t ticksPerSecond = 100;

// Ticks (10 ms each) since the traffic start; 0 after a reset. Counted by the worker thread; the traffic reader reads
// it to date the positions it queues.
extern std::atomic<std::int32_t> tickCount;

}  // namespace cvl
