#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The stands of the current park airport, in the order of its airport file. A stand's sid is its 1-based number in
// that order (0 until numbered).
namespace cvl {

struct ParkPos {
  std::string id;                         // the stand's name, unique within the airport
  std::vector<std::uint32_t> neighbours;  // sids of overlapping stands
  double latitude = 0.0;                  // degrees
  double longitude = 0.0;
  double heading = 0.0;  // radians
  double radius = 0.0;   // nautical miles
  std::uint32_t sid = 0;
  // A live aircraft arriving at a marked stand is removed again; the nearest-stand search skips marked stands.
  bool makeWayMark = false;
  bool cargo = false;
};

extern std::vector<ParkPos> parkPositions;

// The stand with this sid; null for 0 or a sid no stand has.
ParkPos* gf_standBySid(std::uint32_t sid);

}  // namespace cvl
