#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "simemu/sim_object.h"

// The simulator events a client event may be mapped to ("NAV_LIGHTS_SET", "GEAR_SET", ...), and what each does to
// the object it is sent to.
namespace cvl::simemu {

// The event's name as the simulator spells it (upper case), or "" for an unknown name.
std::string knownSimEvent(std::string_view name);

// Records the value as the object's last of that event and applies the event; an unknown event is only recorded.
void applySimEvent(const std::string& name, std::uint32_t value, SimObject& object);

// The named lights of the light mask, in a fixed order.
const std::vector<std::pair<std::string, LightBit>>& namedLights();

}  // namespace cvl::simemu
