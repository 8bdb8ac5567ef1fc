#pragma once

#include <atomic>
#include <cstdint>

// The run cycle's second counter and the jobs that the tick runs on its beats.
namespace cvl {

// Seconds since the run loop started; back to 0 every day.
extern std::atomic<std::int32_t> tickSeconds;
// A static-parking update was announced; the next 15-second beat performs it.
extern std::atomic<bool> staticUpdateRequested;

// Chooses the traffic radius from the user's situation (AUTO_RANGE on).
void lf_autoRange();

}  // namespace cvl
