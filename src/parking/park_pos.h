#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/static_ac.h"
#include "foundation/half_hours.h"

// The stands of the current park airport, in the order of its airport file. A stand's sid is its 1-based number in
// that order (0 until numbered).
namespace cvl {

inline constexpr double nmPerMetre = 0.0005399568034557236;
inline constexpr double metresPerNm = 1852.0;

// One known occupation of a stand: which aircraft stood there on which weekday during which half hours.
struct StandOption {
  std::string airline;
  std::string type;
  std::string reg;        // may be empty
  std::string callsign;   // the arriving flight, may be empty
  std::string callsign2;  // the departing flight, may be empty
  HalfHourSet hh;
  // 1-based number within the stand; 0 marks an option the stand search has set aside until the options are numbered
  // afresh.
  std::uint32_t id = 0;
  std::uint32_t day = 0;     // 1 Monday .. 7 Sunday
  std::uint32_t origin = 0;  // 1 read from the airport file itself, 0 learned
  std::uint32_t real = 1;    // 1 real occupation, 0 soft
  bool cpl = false;          // coupled: the aircraft was seen leaving
};

struct ParkPos {
  ParkPos() { neighbours.reserve(8); }
  // Takes over the id and the options; the radius is given in metres and kept in nautical miles.
  ParkPos(std::string standId, std::vector<StandOption> standOptions, const StandPlace& place, double radiusMetres,
          bool isCargo, bool isRamp, bool isHeli);

  ParkPos copy() const { return *this; }

  std::vector<StandOption> options;
  std::string id;                         // the stand's name, unique within the airport
  std::vector<std::uint32_t> neighbours;  // sids of overlapping stands
  double latitude = 0.0;                  // degrees
  double longitude = 0.0;
  double heading = 0.0;  // radians
  double radius = 0.0;   // nautical miles
  std::uint32_t sid = 0;
  bool manual = false;         // created by hand in a learned file
  bool radius_change = false;  // the learned file overrides the radius
  bool cargo_change = false;   // the learned file overrides the cargo flag
  bool selected = false;       // chosen by the current static-parking selection
  // A live aircraft arriving at a marked stand is removed again; the nearest-stand search skips marked stands.
  bool makeWayMark = false;
  bool userStand = false;         // the reserved stand or the stand under the user: kept free
  bool neighbourBlocked = false;  // a neighbour is taken
  bool cargo = false;
  bool ramp = false;
  bool heli = false;
};

extern std::vector<ParkPos> parkPositions;

// Numbers the stand's options 1, 2, ... in their order, as reading its file does: options set aside (id 0) come back.
void gf_numberOptions(ParkPos& stand);

// The stand with this sid; null for 0 or a sid no stand has.
ParkPos* gf_standBySid(std::uint32_t sid);

}  // namespace cvl
