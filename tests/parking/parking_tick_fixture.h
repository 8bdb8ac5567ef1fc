#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>

#include "engine/engine_tick.h"
#include "engine/tick_count.h"
#include "engine/traffic_state.h"
#include "foundation/geometry.h"
#include "simlink/send_queues.h"
#include "simlink/sim_client_thread.h"
#include "static_parking_fixture.h"
#include "trafficin/traffic_item.h"
#include "trafficin/traffic_queue.h"

namespace cvl::test {

// The static-parking world driven through the engine tick: the engine's lists, backlogs and send queues empty at tick
// 0 and no simulator connected, so that what the engine hands to the simulator stays in the send queues to be read.
class ParkingTick : public StaticParking {
 protected:
  void SetUp() override {
    StaticParking::SetUp();
    resetEngine();
    simConnectFailed = true;
  }

  void TearDown() override {
    resetEngine();
    simConnectFailed = false;
    StaticParking::TearDown();
  }

  static void resetEngine() {
    gf_resetTrafficState();
    gf_clearSendQueues();
    const std::lock_guard lock{trafficQueueMutex};
    trafficQueue.clear();
  }

  static void ticks(std::int32_t n) {
    for (std::int32_t i = 0; i < n; ++i) {
      lf_handleAddingStack();
    }
  }

  // The creations handed to the simulator so far at the stand's place.
  static std::size_t creationsAt(const ParkPos& stand) {
    return static_cast<std::size_t>(
        std::count_if(simSendQueues.creations.begin(), simSendQueues.creations.end(), [&](const CreateRequest& made) {
          return made.initPosition.latitude == stand.latitude && made.initPosition.longitude == stand.longitude;
        }));
  }

  // An active live aircraft parked on the stand (whose heading is north), its engines off.
  static LiveAc& parkedOn(const ParkPos& stand, const std::string& callsign, const std::string& reg) {
    LiveAc& aircraft = addLive(callsign, "A320", AcPhase::parked, stand.sid, reg);
    aircraft.prevPhase = AcPhase::taxi;
    aircraft.standLat = stand.latitude;
    aircraft.standLon = stand.longitude;
    aircraft.onGround = true;
    aircraft.simPos.lat = stand.latitude;
    aircraft.simPos.lon = stand.longitude;
    TimedPosition& here = aircraft.stream.front();
    here.lat = stand.latitude;
    here.lon = stand.longitude;
    here.stationary = true;
    return aircraft;
  }

  // Queues the aircraft's report on the ground `metres` from its stand in the direction (degrees), stamped `seconds`
  // after its last accepted one and due a second after it arrives.
  static void reportAway(const LiveAc& aircraft, double bearingDegrees, double metres, double seconds) {
    const LatLon away =
        gf_destinationPoint({aircraft.standLat, aircraft.standLon}, bearingDegrees * degreesToRadians, metres / 0.3048);
    TrafficItem report;
    report.hexid = aircraft.hexid;
    report.callsign = aircraft.callsign;
    report.type = aircraft.type;
    report.registration = aircraft.registration;
    report.timestamp = aircraft.lastItemTime + seconds;
    report.position.lat = away.lat;
    report.position.lon = away.lon;
    report.position.groundSpeed = 5.0;
    report.position.dueTick = tickCount + 100;
    const std::lock_guard lock{trafficQueueMutex};
    trafficQueue.push_back(std::move(report));
  }
};

}  // namespace cvl::test
