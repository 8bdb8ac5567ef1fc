#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "foundation/geometry.h"
#include "simlink/send_queues.h"

namespace cvl::test {

// The simulator at the far end of the recording link, played on the test's thread after every engine tick. Each
// creation the engine hands over becomes an object once its model has loaded; the link's own matching then
// recognises it by its tail number (the first pending creation with that callsign) when a range scan shows it. Each
// removal takes the object away and reports it. Every object keeps the last position the engine sent it.
// Once the test has placed the user aircraft, the scans show only objects within RANGE of it; before that they show
// every object.
class SimulatorStandIn {
 public:
  struct Object {
    std::string title;
    std::string tailNumber;
    std::int32_t loadedAtTick = 0;
    double heightAboveGround = 0.0;  // feet, where it was created; the ground lies at 0 ft
    LatLon createdAt;
    bool scanned = false;  // a range scan has shown it since it loaded
    std::optional<PositionUpdate> position;
  };
  // A creation or removal as the simulator carried it out.
  struct Handover {
    std::int32_t tick = 0;
    std::uint32_t objectId = 0;
    std::string tailNumber;
    bool created = false;
  };

  // Ticks a model of this title takes to load; others take defaultLoadTicks.
  void setLoadTicks(const std::string& title, std::int32_t ticks);
  // Ticks the simulator takes to remove an object (0: at once).
  void setRemovalTicks(std::int32_t ticks) { removalTicks_ = ticks; }
  // Puts the user aircraft there: the position the engine learns from the simulator, and the centre of the scans.
  void placeUser(const LatLon& at, double altitude);

  // One engine tick, then the simulator's frame: creations, removals, the scan of loaded objects, the positions.
  void tick();
  void ticks(std::int32_t n);
  void ticksUntil(std::int32_t tick);

  // The loaded objects.
  const std::map<std::uint32_t, Object>& objects() const { return objects_; }
  // Every creation and removal, in order.
  const std::vector<Handover>& history() const { return history_; }
  std::size_t creations() const { return creations_; }
  std::size_t removals() const { return removals_; }
  // The most objects there were at once.
  std::size_t mostObjects() const { return mostObjects_; }

  static constexpr std::int32_t defaultLoadTicks = 100;

 private:
  void create(const CreateRequest& request);
  void removeDue();
  void remove(std::uint32_t objectId);
  void load();
  void scan();
  bool inRange(const Object& object) const;
  void takePositions();

  std::map<std::string, std::int32_t> loadTicks_;
  std::map<std::uint32_t, Object> objects_;
  std::map<std::uint32_t, Object> loading_;
  std::vector<Handover> history_;
  std::multimap<std::int32_t, std::uint32_t> removing_;  // object ids by the tick their removal is done
  std::int32_t removalTicks_ = 0;
  std::optional<LatLon> user_;
  std::uint32_t nextObjectId_ = 100;
  std::size_t creations_ = 0;
  std::size_t removals_ = 0;
  std::size_t mostObjects_ = 0;
};

}  // namespace cvl::test
