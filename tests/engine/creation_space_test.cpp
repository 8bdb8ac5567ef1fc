#include <fmt/format.h>
#include <fmt/ranges.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <numbers>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "busy_hub_fixture.h"
#include "engine/aircraft_lists.h"
#include "engine/create_backlogs.h"
#include "engine/engine_tick.h"
#include "engine/live_ac_lookup.h"
#include "engine/tick_count.h"
#include "foundation/settings_catalogue.h"
#include "simlink/send_queues.h"
#include "support/fault_tally.h"

namespace cvl::test {
namespace {

const std::string airlinerTitle{engineTestLiveryTitle};
const std::string lightTitle = "Generic C172";
constexpr std::int32_t never = -1;
constexpr std::int32_t reportDelaySeconds = 30;
// How long the tests of single cases run.
constexpr std::int32_t runSecondsOfTests = 600;
constexpr double east = std::numbers::pi / 2.0;
constexpr double west = -std::numbers::pi / 2.0;
// The runway lies north of the stands, the taxiway south of their lane; both run east to west.
const LatLon runwayEnd = lf_from(hub, 0.0, 1500.0);
const LatLon taxiwayEast = lf_from(lf_from(hub, std::numbers::pi, 500.0), east, 3000.0);

// What a flight does while it is reported.
enum class Kind { parked, pushingBack, arriving, taxiing, departing, airborne, approach };

struct Flight {
  std::uint32_t hexid = 0;
  std::string callsign;
  bool light = false;
  Kind kind = Kind::airborne;
  std::int32_t from = 0;  // the seconds of its first and last reports
  std::int32_t to = 0;
  std::uint32_t sid = 0;     // its stand, for a flight at a stand
  std::int32_t departs = 0;  // when it leaves its stand
  bool sharesCallsign = false;
  // For a flight circling the hub, its distance; 0 for one 4 to 14 nm out.
  double circleNm = 0.0;
  // The seconds each of its successive creations takes to load; one `never` for a model that never loads.
  std::vector<std::int32_t> loads;

  const std::string& title() const { return light ? lightTitle : airlinerTitle; }
  // For the faults' lines: "DLH113 500011 (approach C172, loads 150/30 s, reported 100-500 s)".
  std::string text() const {
    static const char* const kindNames[] = {"parked",    "pushing back", "arriving", "taxiing",
                                            "departing", "airborne",     "approach"};
    std::vector<std::string> seconds;
    for (const std::int32_t load : loads) {
      seconds.push_back(load == never ? "never" : std::to_string(load));
    }
    return fmt::format("{} {:x} ({} {}, loads {} s, reported {}-{} s)", callsign, hexid,
                       kindNames[static_cast<int>(kind)], light ? "C172" : "A320", fmt::join(seconds, "/"), from, to);
  }
  bool neverLoads() const { return loads.front() == never; }
  std::int32_t slowestLoad() const { return *std::max_element(loads.begin(), loads.end()); }
  bool atStand() const { return kind == Kind::parked || kind == Kind::pushingBack || kind == Kind::arriving; }
};

// A simulator with missing and slow models at a busy airport: flights parked, pushing back, arriving at their stands,
// taxiing, departing, flying over and on approach, each creation's model loading in a second, minutes or never, under
// callsigns some flights share, at a Max live that binds or not and changes. What is looked at is what reaches the
// simulator: which flight each object flies as, for how long, where, and how many objects there are.
class Creations : public BusyHub {
 protected:
  static constexpr std::int32_t runSeconds = 900;
  // How long a lowered Max live may be exceeded while creations under way land, and how long an object may stay in
  // the simulator with no aircraft and no removal asked for.
  static constexpr std::int32_t limitGraceTicks = 6000;
  static constexpr std::int32_t strayTicks = 500;

  Creations() {
    rangeNm = 25.0;
    rangeMetres = 25 * 1852;
    simulator.placeUser(hub, 20000.0);
  }

  void add(Flight flight) {
    std::vector<std::int32_t> loadTicks;
    for (const std::int32_t seconds : flight.loads) {
      loadTicks.push_back(seconds == never ? SimulatorStandIn::neverLoads : seconds * ticksPerSecond);
    }
    simulator.setLoadTicksOfTailAndTitle(flight.callsign, flight.title(), loadTicks);
    schedule(flight);
    flights_.push_back(std::move(flight));
  }

  // Runs to `lastSecond`, changing Max live at the seconds of `limitChanges`, checking after every tick.
  void run(std::int32_t lastSecond, const std::map<std::int32_t, std::int32_t>& limitChanges = {}) {
    feed.sort();
    for (const Flight& flight : flights_) {
      lastReports_[flight.hexid] = feed.lastScheduled(flight.hexid) + reportDelaySeconds;
    }
    for (std::int32_t second = tickCount / ticksPerSecond; second <= lastSecond; ++second) {
      if (const auto change = limitChanges.find(second); change != limitChanges.end()) {
        limitLoweredAt_ = change->second < MAX_LIVE_SEL.value ? tickCount.load() : limitLoweredAt_;
        MAX_LIVE_SEL.value = change->second;
        gf_requestLiveLimit();
      }
      feed.queueUntil(second, hub);
      for (std::int32_t tick = 0; tick < ticksPerSecond; ++tick) {
        simulator.tick();
        checkObjects();
        checkLiveCount();
      }
      noteSecond(second);
    }
  }

  // The seconds the flight was flown in the simulator, of those from `from` to `to`.
  std::int32_t shownSeconds(const Flight& flight, std::int32_t from, std::int32_t to) const {
    const auto shown = shown_.find(flight.hexid);
    std::int32_t seconds = 0;
    for (std::int32_t second = std::max(from, 0); shown != shown_.end() && second <= to; ++second) {
      seconds += second < static_cast<std::int32_t>(shown->second.size()) && shown->second[second] ? 1 : 0;
    }
    return seconds;
  }

  // The first second the flight was flown in the simulator; -1 when never.
  std::int32_t firstShown(const Flight& flight) const {
    const auto shown = shown_.find(flight.hexid);
    if (shown == shown_.end()) {
      return -1;
    }
    const auto first = std::find(shown->second.begin(), shown->second.end(), true);
    return first == shown->second.end() ? -1 : static_cast<std::int32_t>(first - shown->second.begin());
  }

  // A flight whose model loads within five minutes and that is reported for longer than its load and two minutes is
  // shown for most of the rest of its reports, where the limit leaves it a place: two minutes more when it waits for
  // its callsign.
  void checkShownForMost() {
    for (const Flight& flight : flights_) {
      if (flight.neverLoads() || flight.slowestLoad() > 300) {
        continue;
      }
      const std::int32_t firstDue = flight.from + reportDelaySeconds;
      const std::int32_t from = firstDue + flight.slowestLoad() + 120 + (flight.sharesCallsign ? 120 : 0);
      const std::int32_t to = std::min(lastDue(flight), runSeconds);
      if (to - from < 60 || limitBound(firstDue, to)) {
        continue;
      }
      const std::int32_t shown = shownSeconds(flight, from, to);
      if (shown * 2 < to - from) {
        fault(fmt::format("{} shown {} of {} s", flight.text(), shown, to - from));
      }
    }
  }

  // While flights wait for a place, the creations that never show hold at most a third of the places.
  void checkNeverShownShare() {
    if (waitedPlaceSeconds_ >= 60 && heldByNeverShown_ * 3 > waitedPlaceSeconds_) {
      fault(fmt::format("creations that never show held {} of {} place-seconds while flights waited", heldByNeverShown_,
                        waitedPlaceSeconds_));
    }
  }

  void fault(const std::string& what) { faults_.add(what, tickCount / static_cast<double>(ticksPerSecond)); }

  // The second the flight's last report falls due.
  std::int32_t lastDue(const Flight& flight) const { return lastReports_.at(flight.hexid); }

  std::vector<Flight> flights_;
  FaultTally faults_;

 private:
  void schedule(const Flight& flight) {
    switch (flight.kind) {
      case Kind::parked:
      case Kind::pushingBack:
      case Kind::arriving:
        atStand(flight.hexid, flight.callsign, flight.sid, flight.from, flight.kind == Kind::arriving, flight.departs,
                flight.to);
        break;
      case Kind::taxiing:
        taxi(flight, taxiwayEast, flight.from, flight.to);
        break;
      case Kind::departing:
        depart(flight);
        break;
      case Kind::airborne:
        flyOver(flight);
        break;
      case Kind::approach:
        approach(flight);
        break;
    }
  }

  void report(const Flight& flight, std::int32_t second, const LatLon& at, double altitude, double speed,
              double track) {
    if (second <= flight.to) {
      feed.report(flight.hexid, flight.callsign, second, at, altitude, speed, track, flight.light ? "C172" : "A320");
    }
  }

  // West along the taxiway at 12 kt from `start`, a report every 5 s; the point it has reached.
  LatLon taxi(const Flight& flight, LatLon at, std::int32_t from, std::int32_t to) {
    constexpr double metresPer5s = 12.0 * 1852.0 / 3600.0 * 5.0;
    for (std::int32_t second = from; second <= to; second += 5) {
      report(flight, second, at, 0.0, 12.0, 270.0);
      at = lf_from(at, west, metresPer5s);
    }
    return at;
  }

  // A minute's taxi to the runway, the take-off roll and a climb out west.
  void depart(const Flight& flight) {
    LatLon at = taxi(flight, lf_from(runwayEnd, east, 2000.0), flight.from, flight.from + 60);
    std::int32_t second = flight.from + 65;
    for (const double speed : {40.0, 80.0, 120.0, 150.0}) {
      report(flight, second, at, 0.0, speed, 270.0);
      at = lf_from(at, west, speed * 1852.0 / 3600.0 * 5.0);
      second += 5;
    }
    for (double altitude = 400.0; second <= flight.to; second += 5, altitude += 150.0) {
      report(flight, second, at, altitude, 170.0, 270.0);
      at = lf_from(at, west, 170.0 * 1852.0 / 3600.0 * 5.0);
    }
  }

  // Around the hub at 160 kt, 4 to 14 nm out, at 3,000 to 12,000 ft.
  void flyOver(const Flight& flight) {
    std::mt19937 random{flight.hexid};
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double drawnNm = 4.0 + 10.0 * unit(random);
    const double radiusNm = flight.circleNm > 0.0 ? flight.circleNm : drawnNm;
    const double startAngle = 2.0 * std::numbers::pi * unit(random);
    const double altitude = 3000.0 + 9000.0 * unit(random);
    const double radiansPerSecond = 160.0 / 3600.0 / radiusNm;
    for (std::int32_t second = flight.from; second <= flight.to; second += 5) {
      const double angle = startAngle + radiansPerSecond * (second - flight.from);
      const LatLon at = gf_destinationPoint(hub, angle, radiusNm * feetPerNauticalMile);
      report(flight, second, at, altitude, 160.0, std::fmod(angle * radiansToDegrees + 90.0, 360.0));
    }
  }

  // Down a three-degree path from 8 nm east of the runway at 140 kt, the landing roll, then the taxi in.
  void approach(const Flight& flight) {
    constexpr double metresPer5s = 140.0 * 1852.0 / 3600.0 * 5.0;
    LatLon at = lf_from(runwayEnd, east, 8.0 * 1852.0);
    std::int32_t second = flight.from;
    for (double left = 8.0 * 1852.0; left > 0.0 && second <= flight.to; left -= metresPer5s, second += 5) {
      report(flight, second, at, left / 1852.0 * 318.0, 140.0, 270.0);
      at = lf_from(at, west, metresPer5s);
    }
    for (const double speed : {110.0, 80.0, 50.0, 25.0}) {
      report(flight, second, at, 0.0, speed, 270.0);
      at = lf_from(at, west, speed * 1852.0 / 3600.0 * 5.0);
      second += 5;
    }
    taxi(flight, at, second, flight.to);
  }

  bool isLive(const LiveAc& aircraft) const {
    return (aircraft.state == AcState::active || aircraft.state == AcState::adding2sim) && !aircraft.waitRemove &&
           !aircraft.remove && !aircraft.removeNow;
  }

  std::size_t liveCount() const {
    return static_cast<std::size_t>(
        std::count_if(liveAcs.begin(), liveAcs.end(), [this](const LiveAc& each) { return isLive(each); }));
  }

  const Flight* flightOf(std::uint32_t hexid) const {
    const auto found =
        std::find_if(flights_.begin(), flights_.end(), [hexid](const Flight& each) { return each.hexid == hexid; });
    return found == flights_.end() ? nullptr : &*found;
  }

  // Every object flies as the flight it was created for, under that flight's title; none stays in the simulator for
  // more than a few seconds with no aircraft and no removal asked for.
  void checkObjects() {
    // What has not changed since the tick before is not looked at again, but for objects that may be left behind.
    std::uint64_t signature = simulator.objects().size() * 1'000'003ULL + simulator.history().size();
    for (const LiveAc& aircraft : liveAcs) {
      signature = signature * 31 + aircraft.objectId * 7ULL + aircraft.hexid;
    }
    signature = signature * 31 + removalBacklog.size();
    if (signature == objectsSignature_ && strays_.empty()) {
      return;
    }
    objectsSignature_ = signature;
    std::vector<std::uint32_t>& owned = owned_;
    owned.assign(removalBacklog.begin(), removalBacklog.end());
    for (const LiveAc& aircraft : liveAcs) {
      if (aircraft.objectId == 0) {
        continue;
      }
      owned.push_back(aircraft.objectId);
      const auto object = simulator.objects().find(aircraft.objectId);
      if (object == simulator.objects().end()) {
        continue;
      }
      if (object->second.hexid != aircraft.hexid) {
        fault(fmt::format("{} {:x} flies the object of {:x}", aircraft.callsign, aircraft.hexid, object->second.hexid));
      }
      if (object->second.title != aircraft.liveryTitle) {
        fault(fmt::format("{} {:x} flies as {}", aircraft.callsign, aircraft.hexid, object->second.title));
      }
    }
    std::sort(owned.begin(), owned.end());
    for (const auto& [objectId, object] : simulator.objects()) {
      if (std::binary_search(owned.begin(), owned.end(), objectId) || simulator.beingRemoved(objectId)) {
        if (!strays_.empty()) {
          strays_.erase(objectId);
        }
        continue;
      }
      const std::int32_t since = strays_.try_emplace(objectId, tickCount.load()).first->second;
      if (tickCount - since > strayTicks) {
        fault(fmt::format("an object of {} {:x} stays with no aircraft", object.tailNumber, object.hexid));
      }
    }
  }

  // The live count is within Max live, but for a minute after it was lowered.
  void checkLiveCount() {
    const std::size_t live = liveCount();
    const auto limit = static_cast<std::size_t>(MAX_LIVE_SEL.value.load());
    if (live > limit && tickCount - limitLoweredAt_ > limitGraceTicks) {
      fault(fmt::format("{} live of at most {}", live, limit));
    }
  }

  void noteSecond(std::int32_t second) {
    const std::size_t live = liveCount();
    const auto limit = static_cast<std::size_t>(MAX_LIVE_SEL.value.load());
    bound_.push_back(live >= limit);
    bool someoneWaits = false;
    std::int32_t neverShownHeld = 0;
    for (const Flight& flight : flights_) {
      const LiveAc* aircraft = gf_findLiveAcByHexid(flight.hexid);
      const bool inSimulator = aircraft != nullptr && isLive(*aircraft);
      const bool reported = second >= flight.from + reportDelaySeconds + 5 && second <= lastDue(flight);
      std::vector<bool>& shown = shown_[flight.hexid];
      shown.resize(static_cast<std::size_t>(second) + 1, false);
      shown.back() = inSimulator && aircraft->state == AcState::active && flown(aircraft->objectId);
      someoneWaits = someoneWaits || (reported && !inSimulator && !flight.neverLoads());
      neverShownHeld += inSimulator && aircraft->objectId == 0 && flight.neverLoads() ? 1 : 0;
      if (shown.back()) {
        checkAtStand(flight, second, simulator.objects().at(aircraft->objectId));
      }
      checkCallsignWait(flight, second, reported && !inSimulator && live < limit);
    }
    if (live >= limit && someoneWaits) {
      waitedPlaceSeconds_ += static_cast<std::int32_t>(limit);
      heldByNeverShown_ += neverShownHeld;
    }
  }

  bool flown(std::uint32_t objectId) const {
    const auto object = simulator.objects().find(objectId);
    return object != simulator.objects().end() && object->second.position.has_value();
  }

  // A parked aircraft is shown at its own stand while its flight stands there.
  void checkAtStand(const Flight& flight, std::int32_t second, const SimulatorStandIn::Object& object) {
    const std::int32_t standsFrom = flight.from + reportDelaySeconds;
    // It leaves as soon as the first report of its push-back comes, half a minute before that report is due.
    const std::int32_t standsTo = std::min(flight.departs, flight.to) - 1;
    if (flight.kind != Kind::parked || second < standsFrom || second > standsTo) {
      return;
    }
    const double metres =
        gf_distanceNM(standPlace(flight.sid), {object.position->latitude, object.position->longitude}) * 1852.0;
    if (metres > 40.0) {
      fault(fmt::format("{} shown {:.0f} m from its stand G{}", flight.text(), metres, flight.sid));
    }
  }

  // A flight that waits only for its callsign, another's creation holding it, is created within about two minutes.
  void checkCallsignWait(const Flight& flight, std::int32_t second, bool placeFreeAndNotLive) {
    const bool waits =
        placeFreeAndNotLive && std::any_of(liveAcs.begin(), liveAcs.end(), [&flight](const LiveAc& other) {
          return other.hexid != flight.hexid && other.callsign == flight.callsign && other.state == AcState::adding2sim;
        });
    if (!waits) {
      callsignWaitFrom_.erase(flight.hexid);
      return;
    }
    const std::int32_t since = callsignWaitFrom_.try_emplace(flight.hexid, second).first->second;
    if (second - since > 150) {
      fault(fmt::format("{} waits for its callsign since {} s", flight.text(), since));
    }
  }

  // Whether the live count met Max live at any second from `from` to `to`.
  bool limitBound(std::int32_t from, std::int32_t to) const {
    for (std::int32_t second = std::max(from, 0); second <= to && second < static_cast<std::int32_t>(bound_.size());
         ++second) {
      if (bound_[second]) {
        return true;
      }
    }
    return false;
  }

  std::int32_t limitLoweredAt_ = -limitGraceTicks - 1;
  std::map<std::uint32_t, std::vector<bool>> shown_;
  std::vector<bool> bound_;
  std::map<std::uint32_t, std::int32_t> strays_;
  // The objects of the aircraft and those queued for removal, kept between ticks to spare allocations.
  std::vector<std::uint32_t> owned_;
  std::uint64_t objectsSignature_ = 0;
  std::map<std::uint32_t, std::int32_t> callsignWaitFrom_;
  // By hexid, the second the flight's last report falls due.
  std::map<std::uint32_t, std::int32_t> lastReports_;
  std::int32_t waitedPlaceSeconds_ = 0;
  std::int32_t heldByNeverShown_ = 0;
};

// The flights of the tests below: reported from `from` to `to` under the callsign, at stand G1 when at a stand.
Flight lf_flight(std::uint32_t hexid, const std::string& callsign, Kind kind, bool light,
                 std::vector<std::int32_t> loads, std::int32_t from = 0, std::int32_t to = runSecondsOfTests) {
  Flight flight;
  flight.hexid = hexid;
  flight.callsign = callsign;
  flight.kind = kind;
  flight.light = light;
  flight.loads = std::move(loads);
  flight.from = from;
  flight.to = to;
  flight.sid = 1;
  flight.departs = kind == Kind::pushingBack ? from + 45 : to + 1;
  return flight;
}

struct LateCase {
  Kind kind = Kind::parked;
  std::vector<std::int32_t> loads;
};

void PrintTo(const LateCase& late, std::ostream* out) {
  *out << lf_flight(0, "", late.kind, false, late.loads).text();
}

class LateModel : public Creations, public ::testing::WithParamInterface<LateCase> {};

TEST_P(LateModel, AFlightIsShownFromWhenItsFirstModelLoadsAndFliesOnFromWhereItIsThen) {
  // One flight reported for ten minutes whose first model takes a minute or more to load; at a stand it stands at G1,
  // or pushes back from there at 45 s while its model loads.
  const auto& [kind, loads] = GetParam();
  const Flight flight = lf_flight(liveHexid, "DLH4AB", kind, false, loads);
  add(flight);
  run(150);
  const std::int32_t shownFrom = firstShown(flight);
  ASSERT_GE(shownFrom, 0);
  EXPECT_LE(shownFrom, reportDelaySeconds + loads.front() + 4);
  if (kind == Kind::pushingBack) {
    // It leaves its stand once its object is there, not minutes later.
    ASSERT_EQ(liveAcs.size(), 1U);
    const auto object = simulator.objects().find(liveAcs.front().objectId);
    ASSERT_NE(object, simulator.objects().end());
    ASSERT_TRUE(object->second.position);
    const auto& at = *object->second.position;
    EXPECT_GT(gf_distanceNM(standPlace(1), {at.latitude, at.longitude}) * 1852.0, 20.0);
  }
  run(runSecondsOfTests);

  const std::int32_t until = std::min(lastDue(flight), runSecondsOfTests);
  EXPECT_EQ(shownSeconds(flight, shownFrom, until), until - shownFrom + 1);
  const bool givenUp = loads.front() > 60;
  EXPECT_LE(simulator.creations(), givenUp ? 2U : 1U);
  EXPECT_LE(simulator.removals(), givenUp ? 1U : 0U);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

INSTANTIATE_TEST_SUITE_P(Phases, LateModel,
                         ::testing::Values(LateCase{Kind::parked, {62, 70}}, LateCase{Kind::pushingBack, {62, 70}},
                                           LateCase{Kind::pushingBack, {58}}, LateCase{Kind::taxiing, {62, 70}},
                                           LateCase{Kind::airborne, {62, 70}}, LateCase{Kind::approach, {62, 70}}));

struct WaitingCase {
  std::int32_t maxLive = 0;
  std::uint32_t neverShown = 0;
  std::uint32_t waiting = 0;
};

void PrintTo(const WaitingCase& waiting, std::ostream* out) {
  *out << "Max live " << waiting.maxLive << ", " << waiting.neverShown << " never shown, " << waiting.waiting
       << " waiting";
}

class PlacesGivenUp : public Creations, public ::testing::WithParamInterface<WaitingCase> {};

TEST_P(PlacesGivenUp, AtABindingMaxLiveTheFlightsWaitingForAPlaceAreShownInsteadOfModelsThatNeverLoad) {
  // Light aircraft whose model never loads fly around the hub from the start, airliners from 10 s on: more than Max
  // live leaves places for.
  const auto& [maxLive, neverShown, waiting] = GetParam();
  MAX_LIVE_SEL.value = maxLive;
  for (std::uint32_t number = 0; number < neverShown; ++number) {
    add(lf_flight(0x500000 + number, fmt::format("N{}", 100 + number), Kind::airborne, true, {never}));
  }
  for (std::uint32_t number = 0; number < waiting; ++number) {
    add(lf_flight(0x510000 + number, fmt::format("DLH{}", 100 + number), Kind::airborne, false, {1}, 10));
  }
  run(runSecondsOfTests);

  // From the third minute on the airliners fill nearly every place.
  constexpr std::int32_t from = 120;
  std::int32_t airlinerSeconds = 0;
  for (const Flight& flight : flights_) {
    airlinerSeconds += flight.light ? 0 : shownSeconds(flight, from, runSecondsOfTests);
  }
  const auto places = static_cast<std::int32_t>(std::min<std::uint32_t>(maxLive, waiting));
  EXPECT_GE(airlinerSeconds * 10, places * (runSecondsOfTests - from) * 9);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

INSTANTIATE_TEST_SUITE_P(Limits, PlacesGivenUp,
                         ::testing::Values(WaitingCase{1, 1, 10}, WaitingCase{5, 5, 20}, WaitingCase{5, 2, 20},
                                           WaitingCase{50, 10, 80}));

TEST_F(Creations, AFlightUnderTheCallsignOfOneWhoseModelNeverLoadsIsCreatedWithinTwoMinutes) {
  // A light aircraft whose model never loads reports from the start, an airliner under its callsign from 20 s on.
  const Flight light = lf_flight(liveHexid, "DLH4AB", Kind::airborne, true, {never});
  const Flight airliner = lf_flight(liveHexid + 1, "DLH4AB", Kind::airborne, false, {1}, 20);
  add(light);
  add(airliner);
  run(runSecondsOfTests);

  const std::int32_t shownFrom = firstShown(airliner);
  ASSERT_GE(shownFrom, 0);
  EXPECT_LE(shownFrom, 20 + reportDelaySeconds + 120);
  EXPECT_EQ(shownSeconds(airliner, shownFrom, runSecondsOfTests), runSecondsOfTests - shownFrom + 1);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

struct NearCase {
  std::vector<std::int32_t> loads;
};

void PrintTo(const NearCase& near, std::ostream* out) {
  *out << fmt::format("the near model loads in {} s", fmt::join(near.loads, "/"));
}

class NearestAtLimit : public Creations, public ::testing::WithParamInterface<NearCase> {
 protected:
  static constexpr std::int32_t places = 10;
  static constexpr std::int32_t measuredFrom = 70;

  // Thirty airliners circle 8 to 23 nm out, more than Max live 10 leaves places for, and a light aircraft 2 nm out.
  Flight busyAirport(std::vector<std::int32_t> nearLoads) {
    MAX_LIVE_SEL.value = places;
    for (std::uint32_t number = 0; number < 30; ++number) {
      Flight airliner = lf_flight(0x510000 + number, fmt::format("DLH{}", 100 + number), Kind::airborne, false, {1});
      airliner.circleNm = 8.0 + 0.5 * number;
      airliner.to = runSeconds;
      add(airliner);
    }
    Flight near = lf_flight(0x500000, "N100", Kind::airborne, true, std::move(nearLoads));
    near.circleNm = 2.0;
    near.to = runSeconds;
    add(near);
    return near;
  }
};

TEST_P(NearestAtLimit, TheNearestAircraftIsShownWhateverItsModelTakesToLoad) {
  const Flight near = busyAirport(GetParam().loads);
  run(runSeconds);

  const std::int32_t measured = runSeconds - measuredFrom;
  EXPECT_GE(shownSeconds(near, measuredFrom, runSeconds) * 2, measured);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

INSTANTIATE_TEST_SUITE_P(BusyAirport, NearestAtLimit,
                         ::testing::Values(NearCase{{70}}, NearCase{{90}}, NearCase{{150}}, NearCase{{90, 5}},
                                           NearCase{{300, 5}}));

TEST_F(NearestAtLimit, TheAirlinersKeepTheirPlacesFromANearModelThatNeverLoads) {
  busyAirport({never});
  run(runSeconds);

  std::int32_t airlinerSeconds = 0;
  for (const Flight& flight : flights_) {
    airlinerSeconds += flight.light ? 0 : shownSeconds(flight, measuredFrom, runSeconds);
  }
  EXPECT_GE(airlinerSeconds * 6, places * (runSeconds - measuredFrom) * 5);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

// One generated mix: its seed, how many flights, Max live and its changes by the second.
struct Mix {
  std::uint32_t seed = 0;
  std::size_t flights = 0;
  std::int32_t maxLive = 0;
  std::map<std::int32_t, std::int32_t> limitChanges;
};

void PrintTo(const Mix& mix, std::ostream* out) {
  *out << "seed " << mix.seed << ", " << mix.flights << " flights, Max live " << mix.maxLive;
}

class CreationSpace : public Creations, public ::testing::WithParamInterface<Mix> {
 protected:
  // Flights of every kind, a third of them at the stands (eight at most), each first reported within the first seven
  // minutes for four to twelve; one in five has a model that never loads, the others load each creation in 1 s to
  // 5 min. One in seven takes the callsign of an earlier flight of the other type.
  void generate(const Mix& mix) {
    std::mt19937 random{mix.seed};
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto pick = [&random](auto count) {
      return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    const std::int32_t loadChoices[] = {1, 30, 58, 62, 90, 150, 300};
    const Kind kinds[] = {Kind::parked,    Kind::pushingBack, Kind::arriving, Kind::taxiing,
                          Kind::departing, Kind::airborne,    Kind::approach};
    std::uint32_t nextStand = 1;
    for (std::uint32_t number = 0; number < mix.flights; ++number) {
      Flight flight;
      flight.hexid = 0x500000 + number;
      flight.kind = kinds[pick(std::size(kinds))];
      if (flight.atStand() && nextStand > 8) {
        flight.kind = Kind::airborne;
      }
      flight.sid = flight.atStand() ? nextStand++ : 0;
      flight.light = !flight.atStand() && flight.kind != Kind::departing && unit(random) < 0.3;
      flight.callsign = fmt::format("DLH{}", 100 + number);
      if (unit(random) < 1.0 / 7.0) {
        shareCallsign(flight, pick);
      }
      flight.from = static_cast<std::int32_t>(unit(random) * 420.0);
      flight.to = std::min(flight.from + 240 + static_cast<std::int32_t>(unit(random) * 480.0), runSeconds);
      flight.departs = flight.kind == Kind::pushingBack ? flight.from + 45 : flight.from + 300;
      if (unit(random) < 0.2) {
        flight.loads = {never};
      } else {
        for (std::size_t count = 1 + pick(3); flight.loads.size() < count;) {
          flight.loads.push_back(loadChoices[pick(std::size(loadChoices))]);
        }
      }
      add(std::move(flight));
    }
  }

  // The flight takes the callsign of an earlier one of the other type, not shared yet.
  template <class Pick>
  void shareCallsign(Flight& flight, Pick& pick) {
    if (flight.atStand() || flight.kind == Kind::departing || flights_.empty()) {
      return;
    }
    Flight& other = flights_[pick(flights_.size())];
    if (other.sharesCallsign) {
      return;
    }
    other.sharesCallsign = true;
    flight.sharesCallsign = true;
    flight.callsign = other.callsign;
    flight.light = !other.light;
  }
};

TEST_P(CreationSpace,
       WhateverTheModelsLoadsThePhasesAndTheLimitEveryFlightIsShownAsItselfAndWaitingTrafficGetsItsPlace) {
  const Mix& mix = GetParam();
  MAX_LIVE_SEL.value = mix.maxLive;
  generate(mix);
  run(runSeconds, mix.limitChanges);
  checkShownForMost();
  checkNeverShownShare();

  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

INSTANTIATE_TEST_SUITE_P(Mixes, CreationSpace,
                         ::testing::Values(Mix{11, 30, 1, {}}, Mix{12, 40, 5, {}}, Mix{13, 90, 50, {}},
                                           Mix{14, 40, 500, {}}, Mix{15, 40, 500, {{300, 5}, {600, 500}}},
                                           Mix{16, 40, 5, {{300, 1}, {600, 50}}},
                                           Mix{17, 90, 50, {{400, 5}, {700, 500}}}, Mix{18, 40, 500, {}}));

}  // namespace
}  // namespace cvl::test
