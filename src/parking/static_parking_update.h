#pragma once

// The static-parking update: the choice of the park airport near the user and of the stands that get static parked
// aircraft. Worker thread.
namespace cvl {

// The run loop calls it with true once before its first tick (the first calculation), the tick with false every
// 16 seconds while no two-phase update is half done.
void gf_updateStaticParking(bool firstCalculation);

}  // namespace cvl
