#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "foundation/geometry.h"
#include "simlink/send_queues.h"
#include "trafficin/traffic_item.h"

namespace cvl::test {

// The simulator at the far end of the recording link, played on the test's thread after every engine tick. Each
// creation the engine hands over becomes an object once its model has loaded; the simulator then announces it and
// answers the link's request for its data, and the link's own matching recognises it by its tail number and title
// (the first pending creation with both). Each removal takes the object away and reports it. Every object keeps the
// last position the engine sent it.
class SimulatorStandIn {
 public:
  struct Object {
    std::string title;
    std::string tailNumber;
    // The aircraft it was created for: the tests' bookkeeping, of which the simulator knows nothing.
    std::uint32_t hexid = 0;
    std::int32_t loadedAtTick = 0;
    double heightAboveGround = 0.0;  // feet, where it was created; the ground lies at 0 ft
    std::optional<PositionUpdate> position;
  };
  // A creation or removal as the simulator carried it out.
  struct Handover {
    std::int32_t tick = 0;
    std::uint32_t objectId = 0;
    std::string tailNumber;
    std::uint32_t hexid = 0;
    bool created = false;
    // A removed object had been moved by the engine.
    bool flown = false;
    // Where a created object was put.
    LatLon at;
  };

  // Ticks a model of this title takes to load; others take defaultLoadTicks. With several, the title's successive
  // creations take them in turn, the last one for every creation after.
  void setLoadTicks(const std::string& title, std::vector<std::int32_t> successive);
  void setLoadTicks(const std::string& title, std::int32_t ticks) { setLoadTicks(title, std::vector{ticks}); }
  // The same for the creations under a tail number, which go before those of their title.
  void setLoadTicksOfTail(const std::string& tailNumber, std::vector<std::int32_t> successive);
  // The same for the creations of one title under a tail number (two flights sharing a callsign), which go first.
  void setLoadTicksOfTailAndTitle(const std::string& tailNumber, const std::string& title,
                                  std::vector<std::int32_t> successive);
  // Ticks the simulator takes to remove an object (0: at once).
  void setRemovalTicks(std::int32_t ticks) { removalTicks_ = ticks; }
  // Other clients hold the simulator's objects but room for this many: a creation beyond it is refused for too many
  // objects.
  void setObjectRoom(std::size_t room) { objectRoom_ = room; }
  // Puts the user aircraft there: the position the engine learns from the simulator.
  static void placeUser(const LatLon& at, double altitude);

  // One engine tick, then the simulator's frame: creations, removals, the objects loaded, the positions.
  void tick();
  void ticks(std::int32_t n);
  void ticksUntil(std::int32_t tick);
  // Runs on from `firstSecond` to `lastSecond`, queuing at each second the reports `reportsOf(second)` gives.
  template <class Reports>
  void runReporting(std::int32_t firstSecond, std::int32_t lastSecond, Reports reportsOf) {
    for (std::int32_t second = firstSecond; second <= lastSecond; ++second) {
      ticksUntil(second * 100);
      for (TrafficItem& report : reportsOf(second)) {
        queueReport(std::move(report));
      }
    }
  }

  // The loaded objects.
  const std::map<std::uint32_t, Object>& objects() const { return objects_; }
  // Whether the object's removal has been asked for and is not done yet.
  bool beingRemoved(std::uint32_t objectId) const;
  // Whether any removal has been asked for and is not done yet.
  bool removing() const { return !removing_.empty(); }
  // Every creation and removal, in order.
  const std::vector<Handover>& history() const { return history_; }
  std::size_t creations() const { return creations_; }
  // The creations refused for too many objects.
  std::size_t refusedForRoom() const { return refusedForRoom_; }
  std::size_t removals() const { return removals_; }
  // The most objects there were at once.
  std::size_t mostObjects() const { return mostObjects_; }

  static constexpr std::int32_t defaultLoadTicks = 100;
  // A model that never loads.
  static constexpr std::int32_t neverLoads = 1'000'000'000;

 private:
  static void queueReport(TrafficItem report);
  std::int32_t loadTicksOf(const std::string& title, const std::string& tailNumber);
  void create(const CreateRequest& request);
  void removeDue();
  void remove(std::uint32_t objectId);
  void load();
  void takePositions();

  // Successive load times, and how many were taken, by title and by tail number.
  struct Loads {
    std::vector<std::int32_t> successive;
    std::size_t taken = 0;
  };
  std::map<std::string, Loads> loadsOfTitle_;
  std::map<std::string, Loads> loadsOfTail_;
  std::map<std::string, Loads> loadsOfTailAndTitle_;
  std::map<std::uint32_t, Object> objects_;
  std::map<std::uint32_t, Object> loading_;
  std::vector<Handover> history_;
  std::multimap<std::int32_t, std::uint32_t> removing_;  // object ids by the tick their removal is done
  std::int32_t removalTicks_ = 0;
  std::uint32_t nextObjectId_ = 100;
  std::uint32_t lastPacketId_ = 0;
  std::size_t objectRoom_ = std::numeric_limits<std::size_t>::max();
  std::size_t refusedForRoom_ = 0;
  std::size_t creations_ = 0;
  std::size_t removals_ = 0;
  std::size_t mostObjects_ = 0;
};

}  // namespace cvl::test
