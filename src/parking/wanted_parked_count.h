#pragma once

#include <cstdint>

// How many static aircraft the park airport should hold.
namespace cvl {

// The wanted number of static aircraft from MAX_PARK_SEL and the parking percentage of the stands; the main window
// shows it with its percentage of the stands.
std::int32_t lf_wantedParkedCount();

}  // namespace cvl
