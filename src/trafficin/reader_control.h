#pragma once

#include <chrono>

// Stopping and resetting the two UDP readers ("Traffic Reader" and "QNH Reader"), whose threads end when their stop
// flag is set.
namespace cvl {

// Sets both stop flags, the weather reader's first.
void gf_stopReaders();
// Waits until both reader threads have ended, at most `limit`; false when one still runs. A new run must not start
// its readers before the old ones have let go of their ports.
bool gf_waitForReadersToStop(std::chrono::milliseconds limit);
// Puts both readers back to their start state: QNH 1013 hPa, no latest data time, no recorded callsigns, stop flags
// clear, datagram counters 0, lamps' receiving flags set. Used when the traffic service connects or goes away and
// before a restart. The limit of the lines about malformed datagrams goes on: a link that comes and goes every second
// must not undo it.
void gf_resetReaders();

}  // namespace cvl
