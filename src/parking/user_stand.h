#pragma once

// The stand under the user aircraft, as the simulator link reports it.
namespace cvl {

// When the user aircraft stands (on the ground, at most 2 knots) at a stand of the park airport other than the one
// recorded for it, records that stand. Called on the SimClient thread on a new flight and when the thread ends.
void gf_watchUserStand();

}  // namespace cvl
