#pragma once

#include <thread>

// The "SimClient" thread, which holds the SimConnect link for one run cycle. Closing down asks it to stop through its
// stop token; the next cycle joins it when it stores its successor.
namespace cvl {

extern std::jthread simClientThread;

// Puts the link's per-cycle state back to its start values (the reset before a restart).
void gf_resetSimLinkState();

}  // namespace cvl
