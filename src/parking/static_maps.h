#pragma once

#include <string>
#include <unordered_set>

// What the static-parking selection knows of the live traffic when it starts.
namespace cvl {

// The callsigns the traffic reader recorded since the calculation was announced: flights that are live now are not
// also parked.
extern std::unordered_set<std::string> recentTrafficCallsigns;

// Prepares one static-parking selection: stops the traffic reader's recording of callsigns and takes over what it
// recorded. Worker thread.
void lf_clearStaticMaps();

}  // namespace cvl
