#include "engine_step_fixture.h"

#include <mutex>
#include <utility>

#include "app/main_window.h"
#include "app/sim_choice.h"
#include "engine/aircraft_lists.h"
#include "engine/engine_tick.h"
#include "engine/tick_count.h"
#include "engine/traffic_state.h"
#include "foundation/settings_catalogue.h"
#include "liveries/livery_data.h"
#include "liveries/livery_tables.h"
#include "refdata/aircraft_database.h"
#include "simlink/ai_objects.h"
#include "simlink/creation_failures.h"
#include "simlink/dispatch.h"
#include "simlink/send_queues.h"
#include "simlink/sim_client_thread.h"
#include "simlink/user_aircraft.h"
#include "trafficin/traffic_queue.h"

namespace cvl::test {
namespace {

void lf_resetEngineWorld() {
  gf_resetTrafficState();
  gf_clearSendQueues();
  gf_clearAiObjects();
  FailedTitles.clear();
  failedCreations.clear();
  frameRate = 60.0F;
  userOnGround = false;
  msfs2020Mode = true;
  MAX_LIVE_SEL.value = 500;
  BLOCK_CALLSIGN.value = std::string();
  GUID_CHANGES.value = true;
  LIGHT_AIRCRAFT.value = true;
  COLLISION_USER_AIR.value = true;
  COLLISION_USER_GND.value = true;
  HOLDING_THRESHOLD_METERS.value = 250;
  rangeNm = 40.0;
  rangeMetres = 40 * 1852;
  gf_resetUserAircraft();
}

// The installed liveries: the airline's own A320 and generic ones of both test types.
void lf_installLiveries() {
  LiveryList liveries{
      {"DLH", "A320", std::string{engineTestLiveryTitle}, {}, 1, false},
      {genericAirline, "A320", "Generic A320", {}, 1, false},
      {genericAirline, "C172", "Generic C172", {}, 1, false},
  };
  gf_clearLiveryTables();
  liveries.sort();
  lf_buildAirlineIndex(liveries);
  lf_buildAirlineModelTitles();
  lf_buildModelTitleTables();
}

TrafficItem lf_airborne(TrafficItem made, double trackDegrees, double speed) {
  made.position.groundSpeed = speed;
  made.position.tas = speed + 10.0;
  made.position.track = trackDegrees;
  return made;
}

}  // namespace

EngineStep::EngineStep() {
  lf_resetEngineWorld();
  // References to records stay valid while a test adds more.
  gf_initTrafficContainers();
  // No simulator is connected: the direct requests of the engine and the link are not made.
  simConnectFailed = true;
  KnownTypes = {"A320", "C172"};
  LargeTypes = {"A320"};
  HalfWingspanTable.byType = {{"A320", 0.0096652}};
  HalfWingspanTable.categoryAverage = {0.003, 0.006, 0.0095, 0.016, 0.004, 0.002};
  lf_installLiveries();
}

EngineStep::~EngineStep() {
  lf_resetEngineWorld();
  simConnectFailed = false;
  KnownTypes.clear();
  LargeTypes.clear();
  HalfWingspanTable = {};
  RegistrationTable.clear();
  gf_clearLiveryTables();
}

TrafficItem EngineStep::item(std::uint32_t hexid, const std::string& callsign, double lat, double lon, double altitude,
                             double timestamp, std::int32_t dueTick) {
  TrafficItem made;
  made.hexid = hexid;
  made.callsign = callsign;
  made.type = "A320";
  made.timestamp = timestamp;
  made.position.lat = lat;
  made.position.lon = lon;
  made.position.altitude = altitude;
  made.position.airborne = altitude > 0.0;
  made.position.dueTick = dueTick;
  return made;
}

TrafficItem EngineStep::flying(std::uint32_t hexid, const std::string& callsign, double seconds,
                               std::int32_t arrivalTick) {
  // 250 kt east at 50 degrees north: 250 / 3600 / (60 x cos 50) degrees of longitude a second.
  constexpr double lonPerSecond = 250.0 / 3600.0 / (60.0 * 0.6427876096865394);
  return lf_airborne(
      item(hexid, callsign, 50.0, 8.0 + seconds * lonPerSecond, 5000.0, 1'700'000'000.0 + seconds, arrivalTick + 3000),
      90.0, 250.0);
}

TrafficItem EngineStep::flyingFrom(std::uint32_t hexid, const std::string& callsign, const LatLon& start,
                                   double trackDegrees, double speed, double seconds, std::int32_t arrivalTick) {
  const LatLon at =
      gf_destinationPoint(start, trackDegrees * degreesToRadians, speed * seconds / 3600.0 * feetPerNauticalMile);
  return lf_airborne(item(hexid, callsign, at.lat, at.lon, 5000.0, 1'700'000'000.0 + seconds, arrivalTick + 3000),
                     trackDegrees, speed);
}

void EngineStep::queue(TrafficItem item) {
  const std::lock_guard lock{trafficQueueMutex};
  trafficQueue.push_back(std::move(item));
}

LiveAc& EngineStep::addBuffered(TrafficItem item) {
  AcIdentity identity{item};
  identity.hexid = item.hexid;
  return liveAcs.emplace_back(identity, item.position, item.timestamp);
}

LiveAc& EngineStep::addActive(TrafficItem item, std::uint32_t objectId) {
  LiveAc& aircraft = addBuffered(std::move(item));
  aircraft.state = AcState::active;
  aircraft.phase = aircraft.stream.front().airborne ? AcPhase::flying : AcPhase::taxi;
  aircraft.onGround = !aircraft.stream.front().airborne;
  aircraft.objectId = objectId;
  aircraft.simPos.lat = aircraft.stream.front().lat;
  aircraft.simPos.lon = aircraft.stream.front().lon;
  aircraft.simPos.altitude = aircraft.stream.front().altitude;
  return aircraft;
}

void EngineStep::ticks(std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) {
    lf_handleAddingStack();
  }
}

void EngineStep::ticksUntil(std::int32_t tick) {
  while (tickCount < tick) {
    lf_handleAddingStack();
  }
}

SimResult EngineStep::result(SimResultKind kind, std::uint32_t objectId, std::uint32_t hexid, double value1,
                             double value2) {
  return SimResult{objectId, hexid, 0, kind, value1, value2};
}

bool EngineStep::logged(const std::string& text) const {
  return log.text().find(text) != std::string::npos;
}

std::size_t EngineStep::loggedCount(const std::string& text) const {
  std::size_t count = 0;
  const std::string all = log.text();
  for (auto at = all.find(text); at != std::string::npos; at = all.find(text, at + 1)) {
    ++count;
  }
  return count;
}

}  // namespace cvl::test
