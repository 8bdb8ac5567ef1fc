#pragma once

// Stopping and resetting the two UDP readers ("Traffic Reader" and "QNH Reader"), detached threads that end when
// their stop byte is set.
namespace cvl {

// Sets both stop bytes.
void gf_stopReaders();
// Puts both readers back to their start state: QNH 1013 hPa, no latest data time, an empty callsign map, stop bytes
// and datagram counters 0, first-datagram flags set (the reset before a restart).
void gf_resetReaders();

}  // namespace cvl
