#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "app/controls.h"
#include "app/main_window.h"
#include "app/run_loop.h"
#include "engine/aircraft_lists.h"
#include "engine/create_backlogs.h"
#include "engine/engine_state.h"
#include "engine/live_parked.h"
#include "foundation/open_log.h"
#include "foundation/random.h"
#include "foundation/settings_catalogue.h"
#include "liveries/regcode_titles.h"
#include "parking/airport_file_retry.h"
#include "parking/current_park_airport.h"
#include "parking/fit_passes.h"
#include "parking/learned_files.h"
#include "parking/park_airport_list.h"
#include "parking/park_airport_state.h"
#include "parking/park_pos.h"
#include "parking/parked_entries.h"
#include "parking/stand_lookups.h"
#include "parking/static_creation.h"
#include "parking/static_maps.h"
#include "parking/static_parking_update.h"
#include "refdata/aircraft_database.h"
#include "refdata/airports_database.h"
#include "simlink/user_aircraft.h"
#include "support/temp_folder.h"

namespace cvl::test {

// Metres as nautical miles, and as degrees of latitude (one nautical mile is one minute of arc).
inline constexpr double nm(double metres) {
  return metres / 1852.0;
}
inline constexpr double latDegrees(double metres) {
  return metres / 1852.0 / 60.0;
}

// The airport of the tests' stands.
inline constexpr double baseLat = 50.0;
inline constexpr double baseLon = 8.0;

// A week time: day 1 Monday .. 7 Sunday, half hour 0..47.
inline WeekTime at(std::int32_t day, std::int32_t halfHour) {
  return WeekTime{day, halfHour};
}

inline HalfHourSet slots(std::initializer_list<int> list) {
  HalfHourSet set;
  for (const int slot : list) {
    set.set(static_cast<std::size_t>(slot));
  }
  return set;
}

inline HalfHourSet slotRange(int first, int last) {
  HalfHourSet set;
  for (int slot = first; slot <= last; ++slot) {
    set.set(static_cast<std::size_t>(slot));
  }
  return set;
}

// The static-parking world of one test: empty aircraft lists and stands, a small type and registration table
// ("A320" Large with 15 m half span, "B77W" Heavy with 32 m, "B744F" Heavy cargo), deterministic choices (RANDOM off),
// the user aircraft on the ground at (0, 0), the log open in a temporary current folder, and the settings put back
// afterwards.
class StaticParking : public ::testing::Test {
 protected:
  void SetUp() override {
    clearWorld();
    // References handed out by the helpers stay valid while a test adds more.
    staticAcs.reserve(64);
    liveAcs.reserve(64);
    parkPositions.reserve(32);
    LargeTypes = {"A320"};
    HeavyTypes = {"B77W", "B744"};
    HalfWingspanTable.byType = {{"A320", nm(15.0)}, {"B77W", nm(32.0)}, {"B744", nm(32.0)}};
    HalfWingspanTable.categoryAverage = {0.003, 0.006, 0.0095, 0.016, 0.004, 0.002};
    RegistrationTable = {{"D-AIZA", DbaseRecord{"DLH", "A320", "", false}},
                         {"D-AIZB", DbaseRecord{"DLH", "A320", "CLH", false}},
                         {"D-ABYA", DbaseRecord{"DLH", "B77W", "", false}},
                         {"D-ALCA", DbaseRecord{"GEC", "B744", "", true}}};
    RANDOM.value = false;
    setUserOnGround(true, 0.0, 0.0);
  }

  void TearDown() override {
    clearWorld();
    LargeTypes.clear();
    HeavyTypes.clear();
    HalfWingspanTable = {};
    RegistrationTable.clear();
    gf_forgetAirports();
    RegcodeTitleMap.clear();
    setUserOnGround(false, 0.0, 0.0);
    userOnGroundKnown = false;
  }

  static void clearWorld() {
    staticAcs.clear();
    liveAcs.clear();
    liveCreateBacklog.clear();
    staticCreateBacklog.clear();
    removalBacklog.clear();
    addingStack.clear();
    liveParkedList.clear();
    parkedEntries.clear();
    keptStatics.clear();
    staticRemovals.clear();
    recentTrafficCallsigns.clear();
    parkPositions.clear();
    gf_publishStandPlaces();
    parkAirports.clear();
    gf_forgetAirportFileFailures();
    currentParkAirport = {};
    parkAirportActive = false;
    parkAirportFileLoaded = false;
    parkRecalcPending = false;
    lastUserParkPos = {};
    staticParkingBusy = false;
    staticHexidCounter = 0;
    learnedUpdates = 0;
    realFitLevel = 0;
    softFitLevel = -1;
    weekTimeNow = 0;
    mainWindow.reservedStandName = std::string();
    mainWindow.learnedUpdates = 0;
  }

  static void setNow(const WeekTime& now) { weekTimeNow = now.packed(); }

  static void setUserOnGround(bool onGround, double lat, double lon, double heightAboveGround = 0.0) {
    userOnGround = onGround;
    userOnGroundKnown = true;
    const std::lock_guard lock{userAcMutex};
    userAcSnapshot.latitude = lat;
    userAcSnapshot.longitude = lon;
    userAcSnapshot.altitudeAboveGround = heightAboveGround;
  }

  // A stand `metresNorth` north of the airport's reference point, numbered after the ones before; the stand list is
  // published for the simulator thread's lookups.
  static ParkPos& addStand(const std::string& name, double metresNorth, double radiusMetres = 20.0) {
    ParkPos stand;
    stand.id = name;
    stand.latitude = baseLat + latDegrees(metresNorth);
    stand.longitude = baseLon;
    stand.radius = nm(radiusMetres);
    stand.sid = static_cast<std::uint32_t>(parkPositions.size() + 1);
    ParkPos& added = parkPositions.emplace_back(std::move(stand));
    gf_publishStandPlaces();
    return added;
  }

  static void makeNeighbours(ParkPos& a, ParkPos& b) {
    a.neighbours.push_back(b.sid);
    b.neighbours.push_back(a.sid);
  }

  // A real learned option of the stand, numbered after the stand's options.
  static StandOption& addOption(ParkPos& stand, const std::string& reg, const std::string& type, std::uint32_t day,
                                const HalfHourSet& hh, const std::string& callsign = {},
                                const std::string& callsign2 = {}, const std::string& airline = "DLH") {
    StandOption option;
    option.airline = airline;
    option.type = type;
    option.reg = reg;
    option.callsign = callsign;
    option.callsign2 = callsign2;
    option.hh = hh;
    option.day = day;
    option.id = static_cast<std::uint32_t>(stand.options.size() + 1);
    return stand.options.emplace_back(std::move(option));
  }

  static AcIdentity identityOf(const std::string& callsign, const std::string& type, const std::string& reg = {},
                               const std::string& airline = "DLH") {
    IdentityTexts texts;
    texts.callsign = callsign;
    texts.type = type;
    texts.registration = reg;
    texts.airline = airline;
    return AcIdentity{texts};
  }

  static StaticAc& addStatic(const std::string& callsign, const ParkPos& stand, const std::string& type,
                             const std::string& reg, AcState state = AcState::active) {
    AcIdentity identity = identityOf(callsign, type, reg);
    identity.hexid = static_cast<std::uint32_t>(staticAcs.size() + 1);
    StaticAc aircraft{identity, stand.sid, StandPlace{stand.latitude, stand.longitude, 0.0}, false};
    aircraft.state = state;
    aircraft.objectId = state == AcState::active ? 500 + identity.hexid : 0;
    return staticAcs.emplace_back(std::move(aircraft));
  }

  static LiveAc& addLive(const std::string& callsign, const std::string& type, AcPhase phase, std::uint32_t standId,
                         const std::string& reg = {}, AcState state = AcState::active) {
    AcIdentity identity = identityOf(callsign, type, reg);
    identity.hexid = static_cast<std::uint32_t>(20000 + liveAcs.size());
    LiveAc aircraft{identity, TimedPosition{}, 0.0};
    aircraft.state = state;
    aircraft.phase = phase;
    aircraft.standId = standId;
    // One being created has no object until the simulator shows it.
    aircraft.objectId = state == AcState::adding2sim ? 0 : 900 + identity.hexid;
    return liveAcs.emplace_back(std::move(aircraft));
  }

  static ParkedEntry entryOf(const ParkPos& stand, const std::string& callsign, const std::string& callsign2,
                             const std::string& reg, bool stays, std::uint32_t fitLevel = 0) {
    return ParkedEntry{stand.sid, fitLevel, "DLH", "A320", callsign, callsign2, reg, stays};
  }

  OpenLog log_;
  ScopedEnvironment settingsHome_{"XDG_CONFIG_HOME", (log_.folder() / "config").string()};
};

}  // namespace cvl::test
