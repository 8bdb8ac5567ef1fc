#pragma once

#include <array>
#include <cstdint>

#include "engine/static_ac.h"

// The client events the engine sends to its aircraft: engines, lights, flaps and throttle.
namespace cvl {

void gf_engineShutdown(std::uint32_t objectId);
// NAV, BEACON, LANDING, TAXI, STROBES, LOGO, CABIN: 1 on, 0 off.
void gf_setLights(std::uint32_t objectId, const std::array<std::uint32_t, 7>& lights);
// Flaps index 0..4; sent only when it differs from the record's, which then keeps it.
void gf_setFlaps(StaticAc& aircraft, std::uint32_t index);
// Throttle level 0..4 (5: unset, nothing sent); sent only when it differs from the record's, which then keeps it.
void gf_setThrottle(StaticAc& aircraft, std::uint32_t level);

}  // namespace cvl
