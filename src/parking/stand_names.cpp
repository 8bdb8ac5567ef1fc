#include "parking/stand_names.h"

#include <algorithm>

#include "foundation/log.h"

namespace cvl {

std::vector<ParkPos>::iterator gf_findStandByName(std::string_view name) {
  return std::find_if(parkPositions.begin(), parkPositions.end(),
                      [name](const ParkPos& stand) { return stand.id == name; });
}

std::string gf_standText(const ParkPos& stand) {
  return gf_excerpt(stand.id);
}

std::string gf_standText(std::uint32_t sid) {
  if (sid == 0) {
    return "sid==0?";
  }
  const ParkPos* stand = gf_standBySid(sid);
  return stand == nullptr ? std::string("sid==?") : gf_standText(*stand);
}

}  // namespace cvl
