#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

// The engine's clock.
namespace cvl {

inline constexpr std::int32_t ticksPerSecond = 100;

// Ticks (10 ms each) since the traffic start; 0 after a reset. Counted by the worker thread; the traffic reader reads
// it to date the positions it queues.
extern std::atomic<std::int32_t> tickCount;

// The tick count as a time, for the log limits of the engine's lines: their minutes stand still while the flight does,
// as the engine takes no reports then.
std::chrono::steady_clock::time_point gf_tickTime();

}  // namespace cvl
