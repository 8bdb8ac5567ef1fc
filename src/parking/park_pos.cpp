#include "parking/park_pos.h"

namespace cvl {

std::vector<ParkPos> parkPositions;

ParkPos* gf_standBySid(std::uint32_t sid) {
  if (sid == 0 || sid > parkPositions.size()) {
    return nullptr;
  }
  return &parkPositions[sid - 1];
}

}  // namespace cvl
