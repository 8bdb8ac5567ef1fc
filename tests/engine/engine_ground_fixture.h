#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>

#include "app/main_window.h"
#include "app/run_loop.h"
#include "engine/livery_respawn.h"
#include "engine_rules_fixture.h"
#include "foundation/settings_catalogue.h"
#include "parking/current_park_airport.h"
#include "parking/parked_entries.h"
#include "parking/stand_lookups.h"
#include "simlink/send_queues.h"
#include "simlink/sim_ids.h"
#include "simlink/user_aircraft.h"
#include "trafficin/traffic_reader.h"

namespace cvl::test {

// The engine rules' world and what the ground and flight phases read besides: empty send queues, no park airport, no
// static-parking selection, no reserved stand, no user position, QNH 1013, no week time, the settings of these phases
// at their defaults and RANDOM off (a parked aircraft's cabin lights are then on).
class EngineGround : public EngineRules {
 public:
  // A reported position on the ground (or in the air above 0 ft).
  static TimedPosition at(double lat, double lon, std::int32_t due, double groundSpeed = 0.0, double altitude = 0.0) {
    TimedPosition position;
    position.lat = lat;
    position.lon = lon;
    position.dueTick = due;
    position.groundSpeed = groundSpeed;
    position.altitude = altitude;
    position.airborne = altitude > 0.0;
    return position;
  }

 protected:
  void SetUp() override {
    EngineRules::SetUp();
    resetWorld();
    RANDOM.value = false;
  }
  void TearDown() override {
    resetWorld();
    RANDOM.value = true;
    EngineRules::TearDown();
    gf_publishStandPlaces();
  }

  static void resetWorld() {
    gf_clearSendQueues();
    parkedEntries.clear();
    currentParkAirport = {};
    mainWindow.reservedStandName = std::string();
    mainWindow.cargoChangedCount = 0;
    cargoStandsCleared = 0;
    weekTimeNow = 0;
    trafficReader.qnh = 1013;
    rangeNm = 40.0;
    {
      const std::lock_guard lock{userAcMutex};
      userAcSnapshot = {};
    }
    userOnGround = false;
    STRAIGHT_PBS_ONLY.value = false;
    AIRBORNE_ONLY.value = false;
    MAX_HOLDING_MINUTES.value = 20;
    LIGHT_AIRCRAFT.value = true;
    HIGH_PERF_AIRCRAFT.value = true;
    HELICOPTERS.value = true;
    NAV_LIGHTS_WHILE_PARKED.value = true;
  }

  // An active aircraft of the type in the phase, standing or flying at the first entry of its stream.
  static LiveAc& activeWith(std::initializer_list<TimedPosition> stream, AcPhase phase,
                            const std::string& type = "A320", const std::string& callsign = "DLH1",
                            std::uint32_t hexid = 20001) {
    LiveAc& aircraft = addLive(callsign, hexid, AcState::active, phase, type);
    aircraft.stream.assign(stream);
    const TimedPosition& first = aircraft.stream.front();
    aircraft.simPos.lat = first.lat;
    aircraft.simPos.lon = first.lon;
    aircraft.simPos.altitude = first.altitude;
    aircraft.onGround = !first.airborne;
    return aircraft;
  }

  // A stand numbered after the ones before it, with heading (radians) and radius (nm).
  static ParkPos& addStandWith(const std::string& name, double lat, double lon, double heading, double radiusNm) {
    ParkPos& stand = addStand(name, lat, lon);
    stand.heading = heading;
    stand.radius = radiusNm;
    return stand;
  }

  static std::size_t eventCount(std::uint32_t objectId, SimEventId event) {
    return static_cast<std::size_t>(
        std::count_if(simSendQueues.clientEvents.begin(), simSendQueues.clientEvents.end(),
                      [&](const ClientEventItem& item) { return item.objectId == objectId && item.event == event; }));
  }

  // The value of the last such event queued for the object; -1 when none was.
  static std::int64_t lastEvent(std::uint32_t objectId, SimEventId event) {
    const auto& events = simSendQueues.clientEvents;
    const auto found = std::find_if(events.rbegin(), events.rend(), [&](const ClientEventItem& item) {
      return item.objectId == objectId && item.event == event;
    });
    return found == events.rend() ? -1 : static_cast<std::int64_t>(found->value);
  }

  bool logged(const std::string& text) const { return log.text().find(text) != std::string::npos; }
};

}  // namespace cvl::test
