#pragma once

#include <array>
#include <cstdint>

#include "engine/static_ac.h"

// The controls of an aircraft that has parked, or becomes active at a stand.
namespace cvl {

// NAV, BEACON, LANDING, TAXI, STROBES, LOGO, CABIN: navigation lights as the NAV_LIGHTS_WHILE_PARKED setting says,
// logo on, cabin on unless the stand is a cargo stand (and, with RANDOM on, off one time in ten), the rest off.
std::array<std::uint32_t, 7> lf_parkedLights(const StaticAc& aircraft);

// Throttle idle, flaps up, engines off and the parked lights.
void lf_resetAcControls(StaticAc& aircraft);

}  // namespace cvl
