#pragma once

#include <array>
#include <cstdint>

#include "engine/static_ac.h"

// The client events through which the engine animates its aircraft: engines, lights, flaps, spoilers, gear and
// throttle. Each sender appends to the client-event queue under simConnectMutex; the frame handler transmits them on
// the next frame. The senders that take the aircraft record keep the last value sent in it, so that an unchanged
// value is not sent again; only the engine's thread calls them.
namespace cvl {

void gf_engineShutdown(std::uint32_t objectId);
void gf_engineStart(std::uint32_t objectId);
// NAV, BEACON, LANDING, TAXI, STROBES, LOGO, CABIN (the values as the events' data: 1 on, 0 off), under one lock.
void gf_setLights(std::uint32_t objectId, const std::array<std::uint32_t, 7>& lights);
void gf_setNavLights(std::uint32_t objectId, std::uint32_t value);
void gf_setCabinLights(std::uint32_t objectId, std::uint32_t value);
// Spoilers fully out for any value above 0, else in. Not for a Rotorcraft.
void gf_setSpoilers(StaticAc& aircraft, std::uint32_t value);
// Not for a Rotorcraft.
void gf_setGear(StaticAc& aircraft, bool down);
// Flaps index 0..4, sent when it differs from the record's and the aircraft is no Rotorcraft; the record keeps it
// (an index above 4 too, which is logged and not sent).
void gf_setFlaps(StaticAc& aircraft, std::uint32_t index);
// Throttle level 0..4 (5: not set, nothing sent), sent when it differs from the record's, which then keeps it.
void gf_setThrottle(StaticAc& aircraft, std::uint32_t level);

}  // namespace cvl
