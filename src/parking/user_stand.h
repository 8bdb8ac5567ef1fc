#pragma once

// The stand the user parks at, learned as the park airport's reserved stand.
namespace cvl {

// When the user aircraft stands (on the ground, at most 2 knots) at a stand of the park airport, notes that stand for
// the worker thread. Called on the SimClient thread on a new flight and when the thread ends; it touches neither the
// park-airport list nor the stands, which belong to the worker.
void gf_watchUserStand();

// Worker thread: a noted stand that differs from the reserved stand of the park airport (the front candidate) becomes
// its reserved stand, and airports/my_park_airports.txt is rewritten. A note is used once.
void gf_applyWatchedUserStand();

}  // namespace cvl
