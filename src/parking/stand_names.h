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
// The stand's name as log lines and the window show it: it comes from an airport file, so its control characters are
// escaped and a very long one is cut (gf_excerpt); an ordinary name shows as it is.
std::string gf_standText(const ParkPos& stand);
// The name of the stand with the sid as gf_standText shows it; "sid==0?" for sid 0 and "sid==?" when no stand has the
// sid.
std::string gf_standText(std::uint32_t sid);

}  // namespace cvl
