#pragma once

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
#include "engine/engine_state.h"
#include "engine/engine_tick.h"
#include "engine/live_ac_lookup.h"
#include "engine/tick_count.h"
#include "foundation/settings_catalogue.h"
#include "simlink/send_queues.h"
#include "support/fault_tally.h"

namespace cvl::test {

inline const std::string airlinerTitle{engineTestLiveryTitle};
inline const std::string lightTitle = "Generic C172";
inline constexpr std::int32_t never = -1;
inline constexpr std::int32_t reportDelaySeconds = 30;
// How long the tests of single cases run.
inline constexpr std::int32_t runSecondsOfTests = 600;
inline constexpr double east = std::numbers::pi / 2.0;
inline constexpr double west = -std::numbers::pi / 2.0;
// The runway lies north of the stands, the taxiway south of their lane; both run east to west.
inline const LatLon runwayEnd = lf_from(hub, 0.0, 1500.0);
inline const LatLon taxiwayEast = lf_from(lf_from(hub, std::numbers::pi, 500.0), east, 3000.0);

// What a flight does while it is reported.
enum class Kind { parked, pushingBack, arriving, taxiing, departing, airborne, approach, leaving };

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
                                            "departing", "airborne",     "approach", "leaving"};
    std::vector<std::string> seconds;
    for (const std::int32_t load : loads) {
      seconds.push_back(load == never ? "never" : std::to_string(load));
    }
    return fmt::format("{} {:x} ({} {}, loads {} s, reported {}-{} s)", callsign, hexid,
                       kindNames[static_cast<int>(kind)], light ? "C172" : "A320", fmt::join(seconds, "/"), from, to);
  }
  // No creation of it ever shows.
  bool neverLoads() const {
    return std::all_of(loads.begin(), loads.end(), [](std::int32_t each) { return each == never; });
  }
  // How many of its first creations the simulator loses, where a later one loads.
  std::int32_t lostCreations() const {
    const auto lost = std::find_if(loads.begin(), loads.end(), [](std::int32_t each) { return each != never; });
    return neverLoads() ? 0 : static_cast<std::int32_t>(lost - loads.begin());
  }
  std::int32_t slowestLoad() const { return *std::max_element(loads.begin(), loads.end()); }
  bool atStand() const { return kind == Kind::parked || kind == Kind::pushingBack || kind == Kind::arriving; }
};

// A simulator with missing and slow models at a busy airport: flights parked, pushing back, arriving at their stands,
// taxiing, departing, flying over and on approach, each creation's model loading in a second, minutes or never, under
// callsigns some flights share, at a Max live that binds or not and changes. What is looked at is what reaches the
// simulator: which flight each object flies as, for how long, where, and how many objects there are.
//
// Each invariant counts what it judged, so that a run can tell one that held from one that had nothing to judge.
class Creations : public BusyHub {
 protected:
  static constexpr std::int32_t runSeconds = 900;
  // How long a lowered Max live may be exceeded while creations under way land, and how long an object may stay in
  // the simulator with no aircraft and no removal asked for.
  static constexpr std::int32_t limitGraceTicks = 6000;
  static constexpr std::int32_t strayTicks = 500;
  // What a first lost creation costs its flight: the minute its creation has to show, and the minute it waits after
  // the give-up while places are contested.
  static constexpr std::int32_t firstLossSeconds = 60 + 60;
  // What a second lost creation costs its flight on top: the two minutes its creation has to show, and the wait of six
  // minutes and up to one more after a later give-up.
  static constexpr std::int32_t laterLossSeconds = 120 + 420;
  // The share of the farthest aircraft's distance by which a flight must lie nearer to be owed its place.
  static constexpr double swapShare = 0.2;

  // What each invariant judged: objects, ticks, seconds, flights or place-seconds.
  struct Judged {
    std::int64_t ownObjects = 0;
    std::int64_t strayObjects = 0;
    std::int64_t objectCountTicks = 0;
    std::int64_t atStandSeconds = 0;
    std::int64_t callsignWaitSeconds = 0;
    std::int64_t shownForMostFlights = 0;
    std::int64_t neverShownPlaceSeconds = 0;

    Judged& operator+=(const Judged& other) {
      ownObjects += other.ownObjects;
      strayObjects += other.strayObjects;
      objectCountTicks += other.objectCountTicks;
      atStandSeconds += other.atStandSeconds;
      callsignWaitSeconds += other.callsignWaitSeconds;
      shownForMostFlights += other.shownForMostFlights;
      neverShownPlaceSeconds += other.neverShownPlaceSeconds;
      return *this;
    }

    // The invariants that judged nothing, by name.
    std::vector<std::string> idle() const {
      const std::pair<const char*, std::int64_t> counts[] = {
          {"every object flies as its own flight", ownObjects},
          {"no object stays without an aircraft", strayObjects},
          {"the simulator holds Max live aircraft", objectCountTicks},
          {"a parked aircraft is shown at its stand", atStandSeconds},
          {"a flight waiting only for its callsign is created", callsignWaitSeconds},
          {"a flight owed a place is shown for most of the time", shownForMostFlights},
          {"creations that never show hold few places", neverShownPlaceSeconds}};
      std::vector<std::string> names;
      for (const auto& [name, count] : counts) {
        if (count == 0) {
          names.emplace_back(name);
        }
      }
      return names;
    }
  };

  Creations() {
    rangeNm = 25.0;
    rangeMetres = 25 * 1852;
    placeUser(hub);
  }

  // The user flies high above the point.
  void placeUser(const LatLon& at) {
    user_ = at;
    simulator.placeUser(at, 20000.0);
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
    tracks_ = feed.tracks();
    for (const Flight& flight : flights_) {
      const auto track = tracks_.find(flight.hexid);
      lastReports_[flight.hexid] = (track == tracks_.end() ? -1 : track->second.back().first) + reportDelaySeconds;
    }
    for (std::int32_t second = tickCount / ticksPerSecond; second <= lastSecond; ++second) {
      if (const auto change = limitChanges.find(second); change != limitChanges.end()) {
        if (change->second < MAX_LIVE_SEL.value) {
          limitLoweredAt_ = tickCount;
          // The lowered limit takes out the farthest aircraft of that moment, also of flights owed a place once
          // others leave: each flight's time to settle starts again.
          owedSince_.clear();
        }
        MAX_LIVE_SEL.value = change->second;
        gf_requestLiveLimit();
      }
      feed.queueUntil(second, user_);
      for (std::int32_t tick = 0; tick < ticksPerSecond; ++tick) {
        simulator.tick();
        checkObjects();
        checkObjectCount();
      }
      noteSecond(second);
      afterSecond(second);
    }
  }

  // What a test looks at once a second, after the fixture's own checks.
  virtual void afterSecond(std::int32_t /*second*/) {}

  // Where the flight is flown at the second: at the report that falls due then.
  const LatLon* flownAt(const Flight& flight, std::int32_t second) const {
    const std::vector<std::pair<std::int32_t, LatLon>>& track = tracks_.at(flight.hexid);
    const auto after = std::upper_bound(track.begin(), track.end(), second - reportDelaySeconds,
                                        [](std::int32_t at, const auto& entry) { return at < entry.first; });
    return after == track.begin() ? nullptr : &(after - 1)->second;
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

  // A flight whose models load within five minutes is shown for most of the seconds at which it has been owed a place
  // for longer than its slowest load and two minutes (four when it shares its callsign): where Max live leaves a
  // place free, or it lies markedly nearer than the Max live nearest other flights that want one. Flights owed a
  // place for less than a minute so are not judged.
  void checkShownForMost() {
    for (const Flight& flight : flights_) {
      const auto owed = owedSeconds_.find(flight.hexid);
      if (owed == owedSeconds_.end() || owed->second.judged < 60) {
        continue;
      }
      ++judged_.shownForMostFlights;
      if (owed->second.shown * 2 < owed->second.judged) {
        fault(fmt::format("{} shown {} of {} s owed a place", flight.text(), owed->second.shown, owed->second.judged));
      }
    }
  }

  // While flights wait for a place, the creations that never show hold at most a third of the places, but for the
  // minute each one's first creation takes to be given up.
  void checkNeverShownShare() {
    if (waitedPlaceSeconds_ < 60) {
      return;
    }
    judged_.neverShownPlaceSeconds = waitedPlaceSeconds_;
    if (heldByNeverShown_ * 3 > waitedPlaceSeconds_) {
      fault(fmt::format("creations that never show held {} of {} place-seconds while flights waited", heldByNeverShown_,
                        waitedPlaceSeconds_));
    }
  }

  void fault(const std::string& what) { faults_.add(what, tickCount / static_cast<double>(ticksPerSecond)); }

  // The second the flight's last report falls due.
  std::int32_t lastDue(const Flight& flight) const { return lastReports_.at(flight.hexid); }

  std::vector<Flight> flights_;
  FaultTally faults_;
  Judged judged_;
  // The most aircraft the simulator held beyond Max live, outside the minute after a lowering.
  std::size_t mostBeyondLimit_ = 0;

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
      case Kind::leaving:
        leave(flight);
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

  // Around the hub at 160 kt, at its distance or 4 to 14 nm out, at 3,000 to 12,000 ft.
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

  // Straight out east from 2 nm east of the hub at 400 kt, at 6,000 ft.
  void leave(const Flight& flight) {
    for (std::int32_t second = flight.from; second <= flight.to; second += 5) {
      const double nm = 2.0 + 400.0 / 3600.0 * (second - flight.from);
      report(flight, second, lf_from(hub, east, nm * 1852.0), 6000.0, 400.0, 90.0);
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
      ++judged_.ownObjects;
      if (object->second.hexid != aircraft.hexid) {
        fault(fmt::format("{} {:x} flies the object of {:x}", aircraft.callsign, aircraft.hexid, object->second.hexid));
      }
      if (object->second.title != aircraft.liveryTitle) {
        fault(fmt::format("{} {:x} flies as {}", aircraft.callsign, aircraft.hexid, object->second.title));
      }
    }
    std::sort(owned.begin(), owned.end());
    for (const auto& [objectId, object] : simulator.objects()) {
      ++judged_.strayObjects;
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

  // The simulator holds at most Max live aircraft, one more while a removal is on its way, but for a minute after Max
  // live was lowered. The engine hears of an object the tick after it shows: until then it is not counted.
  void checkObjectCount() {
    if (tickCount - limitLoweredAt_ <= limitGraceTicks) {
      return;
    }
    ++judged_.objectCountTicks;
    const auto limit = static_cast<std::size_t>(MAX_LIVE_SEL.value.load());
    if (simulator.objects().size() <= limit) {
      return;
    }
    const auto objects = static_cast<std::size_t>(std::count_if(
        simulator.objects().begin(), simulator.objects().end(),
        [](const auto& each) { return each.second.hexid > maxStaticHexid && each.second.loadedAtTick < tickCount; }));
    const bool removalOnItsWay = !removalBacklog.empty() || simulator.removing();
    mostBeyondLimit_ = std::max(mostBeyondLimit_, objects > limit ? objects - limit : 0);
    if (objects > limit + (removalOnItsWay ? 1 : 0)) {
      fault(fmt::format("{} aircraft in the simulator at Max live {}", objects, limit));
    }
  }

  // Whether the flight is flown at the second within the range, where the feed sends its reports and creations are
  // handed over.
  bool withinRange(const Flight& flight, std::int32_t second) const {
    const LatLon* at = flownAt(flight, second);
    return at != nullptr && gf_distanceNM(user_, *at) < rangeNm.load() - 1.0;
  }

  // The flights owed a place at the second, by hexid: of those reported or live, each one that finds a place free,
  // or lies markedly nearer to the user than the Max live nearest of the others, which the limit would let it
  // replace. Flights at the edge of the range want no place.
  std::vector<std::uint32_t> owedPlaces(std::int32_t second, const std::vector<bool>& wanting) const {
    std::vector<std::pair<double, std::uint32_t>> byDistance;
    for (std::size_t index = 0; index < flights_.size(); ++index) {
      const LatLon* at = wanting[index] ? flownAt(flights_[index], second) : nullptr;
      // A newcomer is created a moment before its first report falls due, and holds its place from then.
      if (wanting[index] && at == nullptr) {
        at = &tracks_.at(flights_[index].hexid).front().second;
      }
      const double distance = at == nullptr ? rangeNm.load() : gf_distanceNM(user_, *at);
      if (distance < rangeNm.load() - 1.0) {
        byDistance.emplace_back(distance, flights_[index].hexid);
      }
    }
    std::sort(byDistance.begin(), byDistance.end());
    const auto limit = static_cast<std::size_t>(std::max(MAX_LIVE_SEL.value.load(), 0));
    std::vector<std::uint32_t> owed;
    for (std::size_t rank = 0; rank < byDistance.size() && limit > 0; ++rank) {
      // The Max live-th nearest of the others.
      const std::size_t other = rank < limit ? limit : limit - 1;
      if (other >= byDistance.size() || byDistance[rank].first < (1.0 - swapShare) * byDistance[other].first) {
        owed.push_back(byDistance[rank].second);
      }
    }
    std::sort(owed.begin(), owed.end());
    return owed;
  }

  // Counts the seconds the flight is judged by the shown-for-most invariant, and those it is shown of them.
  void noteOwed(const Flight& flight, std::int32_t second, bool owed, bool shown) {
    if (!owed) {
      owedSince_.erase(flight.hexid);
      return;
    }
    const std::int32_t since = owedSince_.try_emplace(flight.hexid, second).first->second;
    const std::int32_t settle = flight.slowestLoad() + 120 + (flight.sharesCallsign ? 120 : 0) +
                                (flight.lostCreations() > 0 ? firstLossSeconds : 0) +
                                (flight.lostCreations() > 1 ? laterLossSeconds : 0);
    if (flight.neverLoads() || flight.slowestLoad() > 300 || second - since < settle) {
      return;
    }
    OwedSeconds& seconds = owedSeconds_[flight.hexid];
    ++seconds.judged;
    seconds.shown += shown ? 1 : 0;
  }

  void noteSecond(std::int32_t second) {
    const std::size_t live = liveCount();
    const auto limit = static_cast<std::size_t>(MAX_LIVE_SEL.value.load());
    std::vector<bool> reportedNow(flights_.size());
    std::vector<bool> wanting(flights_.size());
    std::vector<const LiveAc*> aircraftOf(flights_.size());
    std::map<std::uint32_t, const LiveAc*> byHexid;
    creatingCallsigns_.clear();
    for (const LiveAc& aircraft : liveAcs) {
      byHexid.emplace(aircraft.hexid, &aircraft);
      if (aircraft.state == AcState::adding2sim) {
        creatingCallsigns_.emplace(aircraft.callsign, aircraft.hexid);
      }
    }
    for (std::size_t index = 0; index < flights_.size(); ++index) {
      const Flight& flight = flights_[index];
      const auto found = byHexid.find(flight.hexid);
      const LiveAc* aircraft = found == byHexid.end() ? nullptr : found->second;
      reportedNow[index] =
          second >= flight.from + reportDelaySeconds + 5 && second <= lastDue(flight) && withinRange(flight, second);
      aircraftOf[index] = aircraft;
      wanting[index] = reportedNow[index] || (aircraft != nullptr && isLive(*aircraft));
    }
    const std::vector<std::uint32_t> owed = owedPlaces(second, wanting);
    bool someoneWaits = false;
    std::int32_t neverShownHeld = 0;
    for (std::size_t index = 0; index < flights_.size(); ++index) {
      const Flight& flight = flights_[index];
      const LiveAc* aircraft = aircraftOf[index];
      const bool inSimulator = aircraft != nullptr && isLive(*aircraft);
      const bool reported = reportedNow[index];
      std::vector<bool>& shown = shown_[flight.hexid];
      shown.resize(static_cast<std::size_t>(second) + 1, false);
      shown.back() = inSimulator && aircraft->state == AcState::active && flown(aircraft->objectId);
      someoneWaits = someoneWaits || (reported && !inSimulator && !flight.neverLoads());
      if (inSimulator && aircraft->objectId == 0 && flight.neverLoads()) {
        neverShownHeld += heldPastItsMinute(flight) ? 1 : 0;
      }
      if (shown.back()) {
        checkAtStand(flight, second, simulator.objects().at(aircraft->objectId));
      }
      const bool isOwed = std::binary_search(owed.begin(), owed.end(), flight.hexid);
      noteOwed(flight, second, reported && isOwed, shown.back());
      checkCallsignWait(flight, second, reported && !inSimulator && (live < limit || isOwed));
    }
    if (live >= limit && someoneWaits) {
      waitedPlaceSeconds_ += static_cast<std::int32_t>(limit);
      heldByNeverShown_ += neverShownHeld;
    }
  }

  // Counts a second the flight whose model never loads holds a place: whether it has held one for longer than the
  // minute its first creation may take to tell.
  bool heldPastItsMinute(const Flight& flight) {
    constexpr std::int32_t firstCreationSeconds = 65;
    return ++neverShownHolding_[flight.hexid] > firstCreationSeconds;
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
    ++judged_.atStandSeconds;
    const double metres =
        gf_distanceNM(standPlace(flight.sid), {object.position->latitude, object.position->longitude}) * 1852.0;
    if (metres > 40.0) {
      fault(fmt::format("{} shown {:.0f} m from its stand G{}", flight.text(), metres, flight.sid));
    }
  }

  // A flight that waits only for its callsign, another's creation holding it while a place is there for it, is
  // created within about two minutes.
  void checkCallsignWait(const Flight& flight, std::int32_t second, bool placeForItAndNotLive) {
    const auto [first, last] = creatingCallsigns_.equal_range(flight.callsign);
    const bool waits = placeForItAndNotLive &&
                       std::any_of(first, last, [&flight](const auto& other) { return other.second != flight.hexid; });
    if (!waits) {
      callsignWaitFrom_.erase(flight.hexid);
      return;
    }
    ++judged_.callsignWaitSeconds;
    const std::int32_t since = callsignWaitFrom_.try_emplace(flight.hexid, second).first->second;
    if (second - since > 150) {
      fault(fmt::format("{} waits for its callsign since {} s", flight.text(), since));
    }
  }

  struct OwedSeconds {
    std::int32_t judged = 0;
    std::int32_t shown = 0;
  };

  LatLon user_;
  std::int32_t limitLoweredAt_ = -limitGraceTicks - 1;
  std::map<std::uint32_t, std::vector<bool>> shown_;
  std::map<std::uint32_t, std::int32_t> strays_;
  // The objects of the aircraft and those queued for removal, kept between ticks to spare allocations.
  std::vector<std::uint32_t> owned_;
  std::uint64_t objectsSignature_ = 0;
  std::map<std::uint32_t, std::int32_t> callsignWaitFrom_;
  // The hexids of the aircraft being created by their callsigns, at the second looked at.
  std::multimap<std::string, std::uint32_t> creatingCallsigns_;
  // By hexid, the second the flight's last report falls due, and where it is reported when.
  std::map<std::uint32_t, std::int32_t> lastReports_;
  std::map<std::uint32_t, std::vector<std::pair<std::int32_t, LatLon>>> tracks_;
  // By hexid, since when the flight has been owed a place without a break, and the seconds judged.
  std::map<std::uint32_t, std::int32_t> owedSince_;
  std::map<std::uint32_t, OwedSeconds> owedSeconds_;
  std::int32_t waitedPlaceSeconds_ = 0;
  std::int32_t heldByNeverShown_ = 0;
  // By hexid, the seconds a flight whose model never loads has held a place.
  std::map<std::uint32_t, std::int32_t> neverShownHolding_;
};

// What the simulator shows each second, for the tests that count aircraft: the fewest airliners from `countFrom_` on.
class ShownEachSecond : public Creations {
 protected:
  void afterSecond(std::int32_t second) override {
    if (second >= countFrom_) {
      const auto airliners = std::count_if(simulator.objects().begin(), simulator.objects().end(),
                                           [](const auto& each) { return each.second.title == airlinerTitle; });
      fewestAirliners_ = std::min(fewestAirliners_, static_cast<std::int32_t>(airliners));
    }
  }

  std::int32_t countFrom_ = 0;
  std::int32_t fewestAirliners_ = INT32_MAX;
};

// The creations the simulator carried out for the flight.
inline std::size_t lf_creationsOf(const SimulatorStandIn& simulator, std::uint32_t hexid) {
  return static_cast<std::size_t>(
      std::count_if(simulator.history().begin(), simulator.history().end(),
                    [hexid](const auto& each) { return each.created && each.hexid == hexid; }));
}

// The flights of the tests: reported from `from` to `to` under the callsign, at stand G1 when at a stand.
inline Flight lf_flight(std::uint32_t hexid, const std::string& callsign, Kind kind, bool light,
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

}  // namespace cvl::test
