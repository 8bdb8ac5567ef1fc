#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "engine/aircraft_lists.h"
#include "engine/conflict_rules.h"
#include "engine/create_backlogs.h"
#include "engine/engine_state.h"
#include "engine/live_ac.h"
#include "engine/live_parked.h"
#include "engine/tick_count.h"
#include "foundation/open_log.h"
#include "foundation/settings_catalogue.h"
#include "parking/park_pos.h"
#include "refdata/aircraft_database.h"

namespace cvl::test {

// Every stand wanted for parked aircraft, up to `maxPark`, and INITIAL_LOAD_ONLY off; the settings go back to their
// defaults with the object.
class WantedParkedSettings {
 public:
  explicit WantedParkedSettings(std::int32_t maxPark) {
    CUSTOM_PARKING_PERCENTAGE.value = 100;
    MAX_PARK_SEL.value = maxPark;
    INITIAL_LOAD_ONLY.value = false;
  }
  ~WantedParkedSettings() {
    CUSTOM_PARKING_PERCENTAGE.value = CUSTOM_PARKING_PERCENTAGE.defaultValue;
    MAX_PARK_SEL.value = MAX_PARK_SEL.defaultValue;
    INITIAL_LOAD_ONLY.value = INITIAL_LOAD_ONLY.defaultValue;
  }
  WantedParkedSettings(const WantedParkedSettings&) = delete;
  WantedParkedSettings& operator=(const WantedParkedSettings&) = delete;
};

// A type with a 30 m half span.
inline constexpr double halfSpan30m = 30.0 / 1852.0;

// Empty engine containers and a small type table: "A320" (Large, half span 30 m) and "B77W" (Heavy). Log.txt is open
// in a temporary folder.
class EngineRules : public ::testing::Test {
 protected:
  void SetUp() override {
    clearAll();
    // References handed out by the helpers stay valid while a test adds records.
    liveAcs.reserve(64);
    staticAcs.reserve(64);
    parkPositions.reserve(16);
    LargeTypes = {"A320"};
    HeavyTypes = {"B77W"};
    HalfWingspanTable.byType = {{"A320", halfSpan30m}, {"B77W", 0.016}};
    HalfWingspanTable.categoryAverage = {0.003, 0.006, 0.0095, 0.016, 0.004, 0.002};
  }
  void TearDown() override {
    clearAll();
    LargeTypes.clear();
    HeavyTypes.clear();
    HalfWingspanTable = {};
  }

  static void clearAll() {
    liveAcs.clear();
    staticAcs.clear();
    liveCreateBacklog.clear();
    staticCreateBacklog.clear();
    addingStack.clear();
    removalBacklog.clear();
    sameRegCheckQueue.clear();
    parkPositions.clear();
    ghostCallsigns.clear();
    liveParkedList.clear();
    selectedObjectId = 0;
    engineUserPosition = {};
    tickCount = 0;
  }

  static AcIdentity identityOf(const std::string& callsign, std::uint32_t hexid, const std::string& type) {
    IdentityTexts texts;
    texts.callsign = callsign;
    texts.type = type;
    AcIdentity identity{texts};
    identity.hexid = hexid;
    return identity;
  }

  static LiveAc& addLive(const std::string& callsign, std::uint32_t hexid, AcState state, AcPhase phase,
                         const std::string& type = "A320") {
    AcIdentity identity = identityOf(callsign, hexid, type);
    LiveAc aircraft{identity, TimedPosition{}, 0.0};
    aircraft.state = state;
    aircraft.phase = phase;
    // One being created has no object until the simulator shows it.
    aircraft.objectId = state == AcState::adding2sim ? 0 : hexid - 10000 + 100;
    return liveAcs.emplace_back(std::move(aircraft));
  }

  static StaticAc& addStatic(const std::string& callsign, std::uint32_t hexid, std::uint32_t standId, AcState state,
                             const std::string& type = "A320") {
    AcIdentity identity = identityOf(callsign, hexid, type);
    const ParkPos* stand = gf_standBySid(standId);
    const StandPlace place = stand == nullptr ? StandPlace{} : StandPlace{stand->latitude, stand->longitude, 0.0};
    StaticAc aircraft{identity, standId, place, false};
    aircraft.state = state;
    aircraft.objectId = state == AcState::active ? hexid + 500 : 0;
    return staticAcs.emplace_back(std::move(aircraft));
  }

  // A stand numbered after the ones before it.
  static ParkPos& addStand(const std::string& name, double lat, double lon) {
    ParkPos stand;
    stand.id = name;
    stand.latitude = lat;
    stand.longitude = lon;
    stand.sid = static_cast<std::uint32_t>(parkPositions.size() + 1);
    return parkPositions.emplace_back(std::move(stand));
  }

  static void park(LiveAc& aircraft, const ParkPos& stand) {
    aircraft.standId = stand.sid;
    aircraft.standLat = stand.latitude;
    aircraft.standLon = stand.longitude;
    aircraft.simPos.lat = stand.latitude;
    aircraft.simPos.lon = stand.longitude;
  }

  OpenLog log;
};

}  // namespace cvl::test
