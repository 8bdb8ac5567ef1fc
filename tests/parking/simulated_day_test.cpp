#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <numbers>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "airport_files_fixture.h"
#include "engine/aircraft_removal.h"
#include "engine/conflict_rules.h"
#include "engine/engine_state.h"
#include "engine/tick_count.h"
#include "liveries/livery_data.h"
#include "liveries/livery_tables.h"
#include "parking/park_airports.h"
#include "parking/parking_adjustments.h"
#include "parking/stand_names.h"
#include "parking_tick_fixture.h"
#include "simlink/sim_results.h"
#include "support/fault_tally.h"
#include "support/sample_data.h"
#include "trafficin/traffic_reader.h"

namespace cvl::test {
namespace {

// The day runs compressed: the engine goes through this many seconds of traffic between two parking adjustments,
// which lie 20 minutes apart on the schedule's clock.
constexpr std::int32_t secondsPerAdjustment = 60;
constexpr std::int32_t adjustmentsPerDay = 72;
constexpr std::int32_t minutesPerAdjustment = 20;
constexpr std::int32_t daySeconds = adjustmentsPerDay * secondsPerAdjustment;
constexpr std::int32_t reportDelayTicks = 3000;
constexpr double firstTimestamp = 1'700'000'000.0;
constexpr double metresPerFoot = 0.3048;

// The simulator's side of the link: it makes and removes the objects it is asked to and reports back as the link
// does. Removing an object it does not hold is a fault.
class SimulatorStandIn {
 public:
  void frame() {
    for (const CreateRequest& request : simSendQueues.creations) {
      const std::uint32_t objectId = nextObjectId_++;
      objects_[objectId] = request.hexid;
      const bool live = request.hexid > maxStaticHexid;
      ++(live ? liveCreations : staticCreations);
      gf_postSimResult(
          {objectId, request.hexid, 0, live ? SimResultKind::liveCreated : SimResultKind::staticCreated, 0.0, 0.0});
    }
    for (const std::uint32_t objectId : simSendQueues.removals) {
      if (objects_.erase(objectId) == 0) {
        faults.push_back(fmt::format("object {} removed again or never made", objectId));
      }
      gf_postSimResult({objectId, 0, 0, SimResultKind::removed, 0.0, 0.0});
    }
    simSendQueues.creations.clear();
    simSendQueues.removals.clear();
    simSendQueues.clientEvents.clear();
    simSendQueues.sendPositions->clear();
  }

  // Object id to hexid of every object held.
  const std::map<std::uint32_t, std::uint32_t>& objects() const { return objects_; }

  std::vector<std::string> faults;
  std::size_t liveCreations = 0;
  std::size_t staticCreations = 0;

 private:
  std::map<std::uint32_t, std::uint32_t> objects_;
  std::uint32_t nextObjectId_ = 100;
};

LatLon lf_from(const LatLon& point, double bearing, double metres) {
  return gf_destinationPoint(point, bearing, metres / metresPerFoot);
}

// The reports of the day's live flights, handed to the engine when their second comes.
class DayTraffic {
 public:
  // A flight at the stand: it taxis in along the lane behind the stand and stops just short of it, or is first seen
  // standing on it; it stands there, is pushed back onto the lane, taxis away along it, and its reports end.
  void addFlight(const ParkPos& stand, std::int32_t number, std::int32_t second, bool arrives,
                 std::int32_t standingSeconds) {
    const std::string callsign = fmt::format("BER{}", 4000 + number);
    const std::uint32_t hexid = 0x3C0000 + static_cast<std::uint32_t>(number);
    const LatLon place{stand.latitude, stand.longitude};
    const double back = stand.heading + std::numbers::pi;
    const LatLon lane = lf_from(place, back, 90.0);
    const auto add = [&](const LatLon& at, double speed, std::int32_t afterSeconds) {
      TrafficItem& report = reports_.emplace_back();
      report.hexid = hexid;
      report.callsign = callsign;
      report.type = "A320";
      report.timestamp = firstTimestamp + second;
      report.position.lat = at.lat;
      report.position.lon = at.lon;
      report.position.groundSpeed = speed;
      second += afterSeconds;
    };
    if (arrives) {
      for (double metres = 300.0; metres > 0.0; metres -= 30.0) {
        add(lf_from(lane, stand.heading + std::numbers::pi / 2.0, metres), 12.0, 5);
      }
      add(lf_from(place, back, 60.0), 6.0, 5);
      add(lf_from(place, back, 30.0), 6.0, 5);
    }
    const LatLon standing = arrives ? lf_from(place, back, 8.0) : place;
    for (const std::int32_t end = second + standingSeconds; second < end;) {
      add(standing, 0.0, 20);
    }
    for (const double metres : {25.0, 50.0, 75.0}) {
      add(lf_from(place, back, metres), 3.0, 5);
    }
    second += 30;
    for (double metres = 50.0; metres <= 400.0; metres += 30.0) {
      add(lf_from(lane, stand.heading - std::numbers::pi / 2.0, metres), 12.0, 5);
    }
  }

  void sort() {
    std::stable_sort(reports_.begin(), reports_.end(),
                     [](const TrafficItem& a, const TrafficItem& b) { return a.timestamp < b.timestamp; });
  }

  // Queues the reports up to the second; each falls due 30 s after it arrives.
  void queueUntil(double second) {
    const std::lock_guard lock{trafficQueueMutex};
    for (; next_ < reports_.size() && reports_[next_].timestamp <= firstTimestamp + second; ++next_) {
      TrafficItem report = std::move(reports_[next_]);
      report.position.dueTick = tickCount + reportDelayTicks;
      trafficQueue.push_back(std::move(report));
    }
  }

 private:
  std::vector<TrafficItem> reports_;
  std::size_t next_ = 0;
};

// The stand an object's aircraft stands on: a static aircraft's stand, or the one a live aircraft is parked on or
// pushed back from (0: none). Nothing when the object's record is gone.
std::optional<std::pair<std::uint32_t, const StaticAc*>> lf_standOfObject(std::uint32_t hexid) {
  if (hexid <= maxStaticHexid) {
    const auto found = std::find_if(staticAcs.begin(), staticAcs.end(),
                                    [hexid](const StaticAc& aircraft) { return aircraft.hexid == hexid; });
    return found == staticAcs.end() ? std::nullopt : std::optional{std::pair{found->standId, &*found}};
  }
  const auto found =
      std::find_if(liveAcs.begin(), liveAcs.end(), [hexid](const LiveAc& aircraft) { return aircraft.hexid == hexid; });
  if (found == liveAcs.end()) {
    return std::nullopt;
  }
  const bool onStand =
      found->phase == AcPhase::parked || found->phase == AcPhase::pushing_back || found->phase == AcPhase::pushed_back;
  return std::pair{onStand ? found->standId : 0U, &*found};
}

// Frankfurt as the sample data has it (its airport file and learned file) with the user parked at V101 and at most 10
// live aircraft, and Cologne 60 nm away with an airport file of four stands.
class SimulatedDay : public ParkingTick {
 protected:
  void SetUp() override {
    ParkingTick::SetUp();
    const std::filesystem::path sample = sampleDataFolder();
    std::filesystem::create_directories(myThirdPartyFolder);
    std::filesystem::create_directories(learnedStockFolder);
    std::filesystem::copy_file(sample / "airports/archive/stock/EDDF.xml", myThirdPartyFolder / "EDDF.xml");
    // The user keeps to ten live aircraft at Frankfurt, so that the limit sends some away.
    std::string learned = readFile(sample / "airports/learned/stock/EDDF.xml");
    const std::string liveLimit = R"(name="MAX_LIVE_SEL" value="500")";
    learned.replace(learned.find(liveLimit), liveLimit.size(), R"(name="MAX_LIVE_SEL" value="10")");
    writeFile(learnedStockFolder / "EDDF.xml", learned);
    writeFile(myThirdPartyFolder / "EDDK.xml", apfXml(apfParameter("altitude", "302"), cologneStands()));
    AirportList = {Airport{"EDDF", "FRA", 50.0333, 8.5706, 364.0, 0},
                   Airport{"EDDK", "CGN", 50.8659, 7.1427, 302.0, 0}};
    for (const Airport& airport : AirportList) {
      parkAirports.push_back({airport.code, "", airport.lat, airport.lon, 0.0});
    }
    RegistrationTable.insert({{"D-AEWB", DbaseRecord{"EWG", "A320", "", false}},
                              {"D-AGWJ", DbaseRecord{"EWG", "A319", "", false}},
                              {"D-AICV", DbaseRecord{"CFG", "A320", "", false}}});
    KnownTypes = {"A320"};
    installLiveries();
    MAX_PARK_SEL.value = 10;
    MAX_HOLDING_MINUTES.value = 1;
  }

  void TearDown() override {
    parkAirportFileLoaded = false;
    gf_resetParkAirport();
    gf_clearLiveryTables();
    KnownTypes.clear();
    trafficReader.recordCallsigns = false;
    trafficReader.clearCallsignsSeen();
    MAX_HOLDING_MINUTES.value = MAX_HOLDING_MINUTES.defaultValue;
    MAX_LIVE_SEL.value = MAX_LIVE_SEL.defaultValue;
    ParkingTick::TearDown();
  }

  static std::string cologneStands() {
    std::string stands;
    for (int index = 1; index <= 4; ++index) {
      stands += fmt::format(R"(<parkpos id="K{}" latitude="{:.6f}" longitude="7.142700" radius="25">)", index,
                            50.8659 + 0.001 * index);
      stands += fmt::format(R"(<opt reg="D-AIZ{}" day="2" hh="0:47" cs="DLH7{}"/></parkpos>)",
                            index % 2 == 1 ? "A" : "B", index);
    }
    return stands;
  }

  // A generic livery of every type the airport files name, and Air Berlin's A320 for the live flights.
  static void installLiveries() {
    LiveryList liveries{{"BER", "A320", "Airbus A320 Air Berlin", {}, 1, false}};
    for (const char* type : {"A319", "A320", "A20N", "A321", "A346", "A359", "A388", "B744", "B748", "B77L", "B77W",
                             "CRJ9", "E190", "E195", "MD11"}) {
      liveries.push_back({genericAirline, type, fmt::format("Generic {}", type), {}, 1, false});
    }
    gf_clearLiveryTables();
    liveries.sort();
    lf_buildAirlineIndex(liveries);
    lf_buildAirlineModelTitles();
    lf_buildModelTitleTables();
  }

  // A live flight at a gate of piers A, B and E every 40 s, each standing there 3 to 7 minutes; a gate takes its next
  // flight 5 minutes after the last one's push-back.
  void scheduleFlights() {
    std::vector<const ParkPos*> gates;
    for (const ParkPos& stand : parkPositions) {
      if (stand.id.find_first_of("ABE") == 0) {
        gates.push_back(&stand);
      }
    }
    std::map<const ParkPos*, std::int32_t> freeFrom;
    for (std::int32_t second = 10; second < daySeconds - 600; second += 40, ++flights_) {
      const std::int32_t standing = 180 + flights_ % 5 * 60;
      for (std::size_t tried = 0; tried < gates.size(); ++tried) {
        const ParkPos* gate = gates[(static_cast<std::size_t>(flights_) * 7 + tried) % gates.size()];
        if (freeFrom[gate] <= second) {
          traffic_.addFlight(*gate, flights_, second, flights_ % 2 == 0, standing);
          freeFrom[gate] = second + standing + 300;
          break;
        }
      }
    }
    traffic_.sort();
  }

  static void setSchedule(std::int32_t adjustment) {
    const std::int32_t minutes = adjustment * minutesPerAdjustment;
    setNow(WeekTime{1 + minutes / (24 * 60), minutes % (24 * 60) / 30});
  }

  // Engine ticks with the simulator's frames and the run loop's parking jobs of each second, checked at every step.
  void runUntil(std::int32_t second) {
    while (tickCount < second * ticksPerSecond) {
      traffic_.queueUntil(tickCount / static_cast<double>(ticksPerSecond));
      ticks(1);
      simulator_.frame();
      if (!closing_ && tickCount % ticksPerSecond == 0) {
        runJobsOfSecond(tickCount / ticksPerSecond);
      }
      check();
    }
  }

  static void runJobsOfSecond(std::int32_t second) {
    if (second % 16 == 0) {
      gf_updateStaticParking(false);
    }
    if (second % 61 == 0) {
      gf_removeStaticTwins();
    }
  }

  // No two aircraft on one stand, no object in the simulator whose record is gone, and of the aircraft that stay (one
  // whose removal is under way is leaving) at most MAX_LIVE_SEL live ones and no more parked ones, static or live at
  // their stands, than wanted.
  void check() {
    onStands_.clear();
    std::size_t live = 0;
    std::size_t parked = 0;
    for (const auto& [objectId, hexid] : simulator_.objects()) {
      const auto stand = lf_standOfObject(hexid);
      if (!stand) {
        fault(fmt::format("object {} of hexid {} left behind", objectId, hexid));
        continue;
      }
      if (stand->first != 0) {
        onStands_.push_back(*stand);
      }
      const StaticAc& aircraft = *stand->second;
      if (aircraft.state == AcState::removingfromsim || aircraft.waitRemove) {
        continue;
      }
      const bool isLive = hexid > maxStaticHexid;
      live += isLive ? 1 : 0;
      parked += !isLive || static_cast<const LiveAc&>(aircraft).phase == AcPhase::parked ? 1 : 0;
    }
    if (live > static_cast<std::size_t>(MAX_LIVE_SEL.value)) {
      fault(fmt::format("{} live of at most {}", live, MAX_LIVE_SEL.value.load()));
    }
    if (parked > wantedParked()) {
      fault(fmt::format("{} parked of {} wanted at {}", parked, wantedParked(), currentParkAirport.code));
    }
    std::sort(onStands_.begin(), onStands_.end());
    for (std::size_t i = 1; i < onStands_.size(); ++i) {
      if (onStands_[i].first == onStands_[i - 1].first) {
        fault(fmt::format("{} holds {} and {}", gf_standText(onStands_[i].first), onStands_[i - 1].second->callsign,
                          onStands_[i].second->callsign));
      }
    }
    for (const LiveAc& aircraft : liveAcs) {
      if (aircraft.phase == AcPhase::pushed_back) {
        pushedBack_.insert(aircraft.hexid);
      }
    }
  }

  // The parking percentage of the park airport's stands, at least one, at most MAX_PARK_SEL.
  static std::size_t wantedParked() {
    const double share = parking_percentage.value * static_cast<double>(parkPositions.size()) / 100.0;
    return std::min(static_cast<std::size_t>(MAX_PARK_SEL.value), std::max<std::size_t>(1, std::lround(share)));
  }

  void fault(const std::string& what) { faults_.add(what, tickCount / static_cast<double>(ticksPerSecond)); }

  SimulatorStandIn simulator_;
  DayTraffic traffic_;
  std::int32_t flights_ = 0;
  // The run is closing: the run loop's jobs no longer run.
  bool closing_ = false;
  std::vector<std::pair<std::uint32_t, const StaticAc*>> onStands_;
  std::set<std::uint32_t> pushedBack_;
  FaultTally faults_;
};

TEST_F(SimulatedDay, EveryStandHoldsOneAircraftAtATimeThroughADayAtFrankfurtAndTheMoveToCologne) {
  setSchedule(0);
  setUserOnGround(true, 50.0448, 8.551);  // on V101
  gf_updateStaticParking(true);
  gf_updateStaticParking(false);
  ASSERT_EQ(currentParkAirport.code, "EDDF");
  scheduleFlights();

  for (std::int32_t adjustment = 0; adjustment < adjustmentsPerDay; ++adjustment) {
    setSchedule(adjustment);
    if (adjustment > 0) {
      gf_parkingAdjustments();
    }
    runUntil((adjustment + 1) * secondsPerAdjustment);
  }
  const std::size_t staticAtFrankfurt = simulator_.staticCreations;
  EXPECT_GE(staticAtFrankfurt, 50U);
  EXPECT_GE(simulator_.liveCreations, static_cast<std::size_t>(flights_));
  EXPECT_GE(pushedBack_.size(), static_cast<std::size_t>(flights_) * 2 / 3);

  // The user takes off for Cologne: Frankfurt's aircraft at the stands go, Cologne's come.
  setSchedule(adjustmentsPerDay);
  setUserOnGround(false, 50.80, 7.1427, 3000.0);
  runUntil(daySeconds + 180);
  EXPECT_EQ(currentParkAirport.code, "EDDK");
  EXPECT_GT(simulator_.staticCreations, staticAtFrankfurt);

  // The run closes, and everything goes.
  closing_ = true;
  gf_removeStaticParked();
  for (LiveAc& aircraft : liveAcs) {
    removeAircraftFromSim(aircraft);
  }
  runUntil(daySeconds + 240);
  EXPECT_TRUE(simulator_.objects().empty());
  EXPECT_TRUE(liveAcs.empty());
  EXPECT_TRUE(staticAcs.empty());
  EXPECT_TRUE(simulator_.faults.empty()) << fmt::format("{}", fmt::join(simulator_.faults, "\n"));
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

}  // namespace
}  // namespace cvl::test
