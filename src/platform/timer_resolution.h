#pragma once

// Asking for a finer system timer while the program runs, and giving the request back. The scheduler here already
// keeps sleeps to about a millisecond, so both calls do nothing; they keep their places for platforms that need them.
namespace cvl::platform {

void beginTimerPeriod(unsigned milliseconds);
void endTimerPeriod(unsigned milliseconds);

}  // namespace cvl::platform
