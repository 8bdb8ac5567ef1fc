#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "parking/park_pos.h"

// Stands of the park airport by name, and the name a stand goes by in log lines.
namespace cvl {

// The first stand with that name (exact, case-sensitive), else parkPositions.end().
std::vector<ParkPos>::iterator gf_findStandByName(std::string_view name);
// The stand's name; "sid==0?" for sid 0 and "sid==?" when no stand has the sid.
std::string gf_standText(std::uint32_t sid);

}  // namespace cvl
