#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "simemu/datums.h"
#include "simemu/scenario.h"
#include "simemu/sim_object.h"

// The emulated simulator's world: the user aircraft, every other object by id, the flat ground and the clock.
namespace cvl::simemu {

class World {
 public:
  static constexpr std::uint32_t userId = 1;

  // unixTime: the clock's start when the scenario names none.
  World(const Scenario& scenario, std::int64_t unixTime);

  SimObject& user() { return user_; }
  const SimObject& user() const { return user_; }
  const std::map<std::uint32_t, SimObject>& objects() const { return objects_; }

  // SIMCONNECT_OBJECT_ID_USER and userId name the user aircraft. nullptr for an unknown id.
  SimObject* find(std::uint32_t objectId);

  // Gives the object the next free id, above the user's.
  const SimObject& add(SimObject object);
  std::optional<SimObject> remove(std::uint32_t objectId);
  // The objects of one client (for when it goes), in id order.
  std::vector<std::uint32_t> objectsOf(std::uint32_t client) const;

  // The objects of a type within the radius of the user aircraft, the user aircraft first (when it is of the type).
  std::vector<const SimObject*> objectsWithin(double radiusMetres, SIMCONNECT_SIMOBJECT_TYPE type) const;

  void advanceClock(double seconds) { unixTime_ += seconds; }
  WorldView view() const;

 private:
  SimObject user_;
  std::map<std::uint32_t, SimObject> objects_;
  std::uint32_t nextId_ = 256;
  double groundAltitudeFt_;
  double unixTime_;
};

}  // namespace cvl::simemu
