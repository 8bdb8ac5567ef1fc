#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "simlink/send_queues.h"

namespace cvl::test {

// The simulator at the far end of the recording link, played on the test's thread after every engine tick. Each
// creation the engine hands over becomes an object once its model has loaded; the link's own matching then
// recognises it by its tail number (the first pending creation with that callsign). Each removal takes the object
// away and reports it. Every object keeps the last position the engine sent it.
class SimulatorStandIn {
 public:
  struct Object {
    std::string title;
    std::string tailNumber;
    std::int32_t loadedAtTick = 0;
    double heightAboveGround = 0.0;  // feet, where it was created; the ground lies at 0 ft
    std::optional<PositionUpdate> position;
  };

  // Ticks a model of this title takes to load; others take defaultLoadTicks.
  void setLoadTicks(const std::string& title, std::int32_t ticks);

  // One engine tick, then the simulator's frame: creations, removals, the scan of loaded objects, the positions.
  void tick();
  void ticks(std::int32_t n);
  void ticksUntil(std::int32_t tick);

  const std::map<std::uint32_t, Object>& objects() const { return objects_; }
  std::size_t creations() const { return creations_; }
  std::size_t removals() const { return removals_; }
  // The most objects there were at once.
  std::size_t mostObjects() const { return mostObjects_; }

  static constexpr std::int32_t defaultLoadTicks = 100;

 private:
  void create(const CreateRequest& request);
  void remove(std::uint32_t objectId);
  void scanLoaded();
  void takePositions();

  std::map<std::string, std::int32_t> loadTicks_;
  std::map<std::uint32_t, Object> objects_;
  std::map<std::uint32_t, Object> loading_;
  std::uint32_t nextObjectId_ = 100;
  std::size_t creations_ = 0;
  std::size_t removals_ = 0;
  std::size_t mostObjects_ = 0;
};

}  // namespace cvl::test
