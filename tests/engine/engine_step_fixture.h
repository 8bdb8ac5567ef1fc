#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/live_ac.h"
#include "foundation/geometry.h"
#include "foundation/open_log.h"
#include "simlink/sim_results.h"
#include "trafficin/traffic_item.h"

namespace cvl::test {

// A hexid of a live aircraft.
inline constexpr std::uint32_t liveHexid = 0x3C4B26;
// The installed livery of the airline DLH for the A320.
inline constexpr std::string_view engineTestLiveryTitle = "Airbus A320 Lufthansa D-AIZZ";

// The engine with empty containers and send queues at tick 0, the settings at their defaults, a type table with
// "A320" (Large) and "C172" (Light), no simulator connected (the link's direct requests stay quiet) and Log.txt open
// in a temporary folder. The user aircraft is airborne far away at 0,0; the range is 40 nm.
class EngineStep : public ::testing::Test {
 public:
  // A traffic item as the parser makes it: position, timestamp (s) and due tick.
  static TrafficItem item(std::uint32_t hexid, const std::string& callsign, double lat, double lon, double altitude,
                          double timestamp, std::int32_t dueTick);
  // An airborne item at 5000 ft flying east at 250 kt near Frankfurt, `seconds` after the first report of the flight,
  // due 30 s after it arrives at tick `arrivalTick`.
  static TrafficItem flying(std::uint32_t hexid, const std::string& callsign, double seconds, std::int32_t arrivalTick);
  // An airborne item at 5000 ft on the track (degrees) at the speed (kt), `seconds` after the flight was at `start`
  // (its first report), due 30 s after it arrives at tick `arrivalTick`.
  static TrafficItem flyingFrom(std::uint32_t hexid, const std::string& callsign, const LatLon& start,
                                double trackDegrees, double speed, double seconds, std::int32_t arrivalTick);
  // Appends to the traffic queue.
  static void queue(TrafficItem item);
  // A live record in state buffer made from the item, appended to liveAcs.
  static LiveAc& addBuffered(TrafficItem item);
  // An active live record with object id `objectId` whose stream starts with the item's position.
  static LiveAc& addActive(TrafficItem item, std::uint32_t objectId);

  // Runs the engine step n times.
  static void ticks(std::int32_t n);
  // Runs the engine step until tickCount reaches the tick.
  static void ticksUntil(std::int32_t tick);

  static SimResult result(SimResultKind kind, std::uint32_t objectId, std::uint32_t hexid, double value1 = 0.0,
                          double value2 = 0.0);

  bool logged(const std::string& text) const;
  // How often Log.txt holds the text.
  std::size_t loggedCount(const std::string& text) const;

 protected:
  EngineStep();
  ~EngineStep() override;

  OpenLog log;
};

}  // namespace cvl::test
