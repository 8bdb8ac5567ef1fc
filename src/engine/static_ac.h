#pragma once

#include <cstdint>

#include "engine/ac_enums.h"
#include "engine/ac_identity.h"
#include "foundation/half_hours.h"

// An aircraft in, or on its way to, the simulator. A static parked aircraft is one; every live aircraft begins with
// one.
namespace cvl {

// A stand's position (degrees) and heading (radians).
struct StandPlace {
  double lat = 0.0;
  double lon = 0.0;
  double heading = 0.0;
};

struct StaticAc : AcIdentity {
  // Takes the identity's texts (they become empty there) and copies its values.
  StaticAc(AcIdentity& identity, std::uint32_t standId, const StandPlace& stand, bool standCargo);

  StaticAc(StaticAc&&) noexcept = default;
  StaticAc& operator=(StaticAc&&) noexcept = default;
  ~StaticAc() = default;

  // Moves the identity's texts into this record's head and copies its values, livery title and flags.
  void copyIdentity(AcIdentity& identity) { static_cast<AcIdentity&>(*this) = std::move(identity); }

  // The simulator object id; 0 while the aircraft is not in the simulator.
  std::uint32_t objectId = 0;
  // Where it stands: a static aircraft its stand, a live aircraft the stand chosen when it parks.
  double standLat = 0.0;
  double standLon = 0.0;
  double standHeading = 0.0;  // radians
  WeekTime parkedSince;       // not set: the default value
  std::uint32_t standId = 0;  // 0: none
  AcState state = AcState::buffer;
  // The levels last sent: throttle 0..4 (5 = none sent yet), flaps 0..4.
  std::uint32_t throttleLevel = 5;
  std::uint32_t flapsIndex = 4;
  bool standCargo = false;
  // Remove the aircraft as soon as its creation has completed.
  bool waitRemove = false;
  // With waitRemove, no removal was asked for: the creation holds no place at the live limit, taken out while being
  // created (for a nearer newcomer or a lowered Max live) or created on trial. Its object goes as soon as it shows
  // unless the limit gives the aircraft a place then, and one taken out may be taken back in before.
  bool withoutPlace = false;
  // Erase the record without a simulator action (it never reached the simulator).
  bool remove = false;
  // Erase the record now (its queued creation was withdrawn).
  bool removeNow = false;
};

}  // namespace cvl
