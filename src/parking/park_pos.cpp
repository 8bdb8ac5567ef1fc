#include "parking/park_pos.h"

#include <utility>

namespace cvl {

std::vector<ParkPos> parkPositions;

ParkPos::ParkPos(std::string standId, std::vector<StandOption> standOptions, const StandPlace& place,
                 double radiusMetres, bool isCargo, bool isRamp, bool isHeli)
    : options(std::move(standOptions)),
      id(std::move(standId)),
      latitude(place.lat),
      longitude(place.lon),
      heading(place.heading),
      radius(radiusMetres * nmPerMetre),
      cargo(isCargo),
      ramp(isRamp),
      heli(isHeli) {
  neighbours.reserve(8);
}

void gf_numberOptions(ParkPos& stand) {
  std::uint32_t id = 0;
  for (StandOption& option : stand.options) {
    option.id = ++id;
  }
}

ParkPos* gf_standBySid(std::uint32_t sid) {
  if (sid == 0 || sid > parkPositions.size()) {
    return nullptr;
  }
  return &parkPositions[sid - 1];
}

}  // namespace cvl
