#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <numbers>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "busy_hub_fixture.h"
#include "engine/aircraft_lists.h"
#include "engine/aircraft_removal.h"
#include "engine/engine_state.h"
#include "engine/engine_tick.h"
#include "engine/tick_count.h"
#include "engine_rules_fixture.h"
#include "engine_step_fixture.h"
#include "foundation/settings_catalogue.h"
#include "parking/current_park_airport.h"
#include "parking/park_pos.h"
#include "parking/parked_entries.h"
#include "simlink/sim_results.h"
#include "simulator_stand_in.h"
#include "support/fault_tally.h"
#include "trafficin/traffic_queue.h"

namespace cvl::test {
namespace {

TEST_F(BusyHub, ArrivalsAboveTheWantedNumberParkWithoutPushingOutAircraftStillStandingAtTheirStands) {
  // Ten aircraft stand at their stands from the start; two more arrive at the second and third minute. All stay.
  for (std::uint32_t sid = 1; sid <= wantedParked; ++sid) {
    atStand(0x3C0000 + sid, fmt::format("STD{}", sid), sid, 0, false, 1000, 600);
  }
  atStand(0x3C0100, "ARR1", 11, 60, true, 1000, 600);
  atStand(0x3C0101, "ARR2", 12, 120, true, 1000, 600);
  feed.sort();
  for (std::int32_t second = 0; second <= 600; ++second) {
    simulator.ticksUntil(second * ticksPerSecond);
    feed.queueUntil(second, hub);
  }

  EXPECT_EQ(loggedCount("arrived at stand"), 2U);
  EXPECT_EQ(simulator.creations(), wantedParked + 2);
  EXPECT_EQ(simulator.removals(), 0U);
  EXPECT_EQ(simulator.objects().size(), wantedParked + 2);
}

TEST_F(BusyHub, ALiveAircraftTakingAStandWhileItsStaticAircraftIsReplacedStandsThereAlone) {
  // A static aircraft stands at G1; a live one taxis in to stop there. Just before it gets there the static one is
  // replaced by its departing flight, and the simulator takes its time to remove the old one.
  simulator.setRemovalTicks(1500);
  parkedEntries.push_back({1, 0, "DLH", "A320", "DLH100", "DLH101", "D-AIZA", true});
  atStand(0x3C0100, "ARR1", 1, 40, true, 1000, 300);
  feed.sort();
  for (std::int32_t second = 0; second <= 300; ++second) {
    simulator.ticksUntil(second * ticksPerSecond);
    feed.queueUntil(second, hub);
    if (second == 150) {
      ASSERT_EQ(staticAcs.size(), 1U);
      ASSERT_EQ(staticAcs.front().state, AcState::active);
      removeAircraftFromSim(staticAcs.front());
      parkedEntries.push_back({1, 0, "DLH", "A320", "DLH100", "DLH101", "D-AIZA", false});
    }
  }

  EXPECT_EQ(loggedCount("arrived at stand"), 1U);
  ASSERT_EQ(simulator.objects().size(), 1U);
  EXPECT_EQ(simulator.objects().begin()->second.tailNumber, "ARR1");
}

// Half an hour and more at the hub as busy feeds bring it: flights all around a user who circles the hub 12 nm out at
// 300 kt, aircraft standing at the stands from the start, and arrivals taxiing to the stands every 45 s, each leaving
// again after a while. The range is 25 nm, at most 50 live aircraft are shown, ten parked ones are wanted.
class BusyHalfHour : public BusyHub {
 protected:
  static constexpr std::int32_t runSeconds = 1900;
  static constexpr double userRadiusNm = 12.0;
  static constexpr double userSpeedKt = 300.0;
  static constexpr std::int32_t liveLimit = 50;
  // The live count may stay above a lowered limit until the creations under way have landed.
  static constexpr std::int32_t limitGraceTicks = 6000;

  BusyHalfHour() {
    rangeNm = 25.0;
    rangeMetres = 25 * 1852;
    MAX_LIVE_SEL.value = liveLimit;
  }

  static LatLon userAt(std::int32_t second) {
    const double angle = userSpeedKt * second / 3600.0 / userRadiusNm;
    return gf_destinationPoint(hub, angle, userRadiusNm * feetPerNauticalMile);
  }

  // Flights first reported anywhere within the range of the user, on any track, for two to four minutes. With
  // `sharedCallsigns`, the flights from the 180th on take the callsigns of the first ones, each with the other type
  // (every fourth of the first ones is a light aircraft).
  void scheduleOverflights(std::size_t count, bool sharedCallsigns = false) {
    std::mt19937 random{20240611};
    std::uniform_real_distribution<double> startSecond(0.0, 1800.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (std::uint32_t number = 0; number < count; ++number) {
      const auto start = static_cast<std::int32_t>(startSecond(random));
      const LatLon from = gf_destinationPoint(userAt(start), unit(random) * 2.0 * std::numbers::pi,
                                              (2.0 + unit(random) * 23.0) * feetPerNauticalMile);
      const double track = unit(random) * 360.0;
      const double speed = 250.0 + unit(random) * 200.0;
      const auto duration = static_cast<std::int32_t>(120.0 + unit(random) * 120.0);
      const bool sharer = sharedCallsigns && number >= 180;
      const std::uint32_t callsignOf = sharer ? number - 180 : number;
      const bool firstIsLight = sharedCallsigns && callsignOf % 4 == 3;
      const bool light = sharer ? !firstIsLight : firstIsLight;
      for (std::int32_t flown = 0; flown <= duration; flown += 5) {
        const TrafficItem at = flyingFrom(0, "", from, track, speed, flown, 0);
        feed.report(0x400000 + number, fmt::format("OVF{}", callsignOf), start + flown,
                    {at.position.lat, at.position.lon}, at.position.altitude, speed, track, light ? "C172" : "A320");
      }
    }
  }

  // Eight aircraft standing at the stands from the start and an arrival every 45 s, each at the first stand left free
  // for almost seven minutes since its last aircraft was pushed back; every one stands for seven to twenty-five
  // minutes.
  void scheduleHub(std::size_t arrivals) {
    std::mt19937 random{1911};
    std::uniform_int_distribution<std::int32_t> standing(420, 1500);
    std::vector<std::int32_t> freeFrom(standCount + 1, 0);
    const auto place = [&](std::uint32_t number, std::int32_t second, bool arrives) {
      for (std::uint32_t sid = 1; sid <= standCount; ++sid) {
        if (freeFrom[sid] <= second) {
          const std::int32_t departs = second + standing(random);
          atStand(0x3C0000 + number, fmt::format("HUB{}", number), sid, second, arrives, departs, runSeconds);
          freeFrom[sid] = departs + 400;
          return;
        }
      }
    };
    for (std::uint32_t number = 0; number < 8; ++number) {
      place(number, 0, false);
    }
    for (std::uint32_t number = 0; number < arrivals; ++number) {
      place(100 + number, 30 + static_cast<std::int32_t>(number) * 45, true);
    }
  }

  void run() {
    for (std::int32_t second = 0; second <= runSeconds; ++second) {
      if (const auto change = limitChanges_.find(second); change != limitChanges_.end()) {
        // A new limit judges every aircraft anew.
        tradedOut_.clear();
        limitLoweredAt_ = change->second < MAX_LIVE_SEL.value ? tickCount.load() : limitLoweredAt_;
        MAX_LIVE_SEL.value = change->second;
        gf_requestLiveLimit();
      }
      simulator.placeUser(userAt(second), 6000.0);
      feed.queueUntil(second, userAt(second));
      for (std::int32_t tick = 0; tick < ticksPerSecond; ++tick) {
        simulator.tick();
        check();
      }
      noteShown();
    }
  }

  // The seconds each flight was flown in the simulator, by hexid.
  void noteShown() {
    for (const LiveAc& aircraft : liveAcs) {
      const auto object = simulator.objects().find(aircraft.objectId);
      if (aircraft.state == AcState::active && object != simulator.objects().end() && object->second.position) {
        ++shownSeconds_[aircraft.hexid];
      }
    }
  }

  // After every step: the live aircraft within their limit; the parked ones within the wanted number, or above it by
  // arrivals only, until as many have left; no aircraft created again after a removal while its reports kept coming
  // (one traded away at the live limit only clearly nearer than those shown);
  // no creation left unanswered longer than the limit; and the simulator's objects those of the records. What has not
  // changed since the step before is not compared again.
  void check() {
    std::size_t live = 0;
    Signature states;
    Signature places;
    Signature objects;
    for (const LiveAc& aircraft : liveAcs) {
      const bool staying = (aircraft.state == AcState::active || aircraft.state == AcState::adding2sim) &&
                           !aircraft.waitRemove && !aircraft.remove && !aircraft.removeNow;
      live += staying ? 1 : 0;
      states.add(aircraft.hexid * 8ULL + static_cast<std::uint64_t>(aircraft.state));
      if (lf_holdsPlace(aircraft)) {
        places.add(aircraft.hexid);
      }
      objects.add(aircraft.objectId);
    }
    if (states != statesBefore_) {
      noteTrades();
      statesBefore_ = states;
    }
    checkHandovers();
    for (const LiveAc& aircraft : liveAcs) {
      checkCreation(aircraft);
    }
    mostLive_ = std::max(mostLive_, live);
    const auto limit = static_cast<std::size_t>(MAX_LIVE_SEL.value.load());
    if (live > limit && tickCount - limitLoweredAt_ > limitGraceTicks) {
      fault(fmt::format("{} live of at most {}", live, limit));
    }
    if (places != placesBefore_) {
      checkParked();
      placesBefore_ = places;
    }
    objects.add(simulator.objects().size());
    objects.add(simulator.history().size());
    objects.add(removalBacklog.size());
    {
      const std::lock_guard lock{simResultMutex};
      objects.add(simResults.size());
    }
    if (objects != objectsBefore_) {
      checkObjects();
      objectsBefore_ = objects;
    }
  }

  // A cheap summary of a set of numbers, to tell whether it changed.
  struct Signature {
    std::size_t count = 0;
    std::uint64_t sum = 0;
    void add(std::uint64_t value) {
      ++count;
      sum = sum * 31 + value;
    }
    bool operator==(const Signature&) const = default;
  };

  static bool lf_holdsPlace(const LiveAc& aircraft) {
    return (aircraft.state == AcState::active || aircraft.state == AcState::adding2sim) && !aircraft.waitRemove &&
           !aircraft.remove && !aircraft.removeNow &&
           (aircraft.phase == AcPhase::parked || aircraft.phase == AcPhase::parking);
  }

  // At the live limit a newcomer takes the place of a markedly farther aircraft, also of one still reported: an
  // aircraft whose removal starts in the step in which a newcomer is spawned at the limit is traded away.
  void noteTrades() {
    std::vector<std::uint32_t> removed;
    std::vector<const LiveAc*> spawned;
    std::size_t occupied = 0;
    for (const auto& [hexid, state] : stateBefore_) {
      occupied += state == AcState::active || state == AcState::adding2sim ? 1 : 0;
    }
    for (const LiveAc& aircraft : liveAcs) {
      const auto before = std::find_if(stateBefore_.begin(), stateBefore_.end(),
                                       [&aircraft](const auto& each) { return each.first == aircraft.hexid; });
      const AcState was = before == stateBefore_.end() ? AcState::buffer : before->second;
      if (was == AcState::buffer && aircraft.state == AcState::adding2sim) {
        spawned.push_back(&aircraft);
      }
      if (was == AcState::active && aircraft.state == AcState::removingfromsim) {
        removed.push_back(aircraft.hexid);
      }
    }
    // The last newcomer of the step met the limit, or the step brought the count down to a lowered limit.
    const bool metLimit =
        !spawned.empty() && occupied + spawned.size() - 1 >= static_cast<std::size_t>(MAX_LIVE_SEL.value.load());
    if (metLimit || tickCount == limitLoweredAt_ + 1) {
      tradedAway_.insert(tradedAway_.end(), removed.begin(), removed.end());
    }
    for (const LiveAc* aircraft : spawned) {
      checkComeback(*aircraft);
    }
    stateBefore_.clear();
    for (const LiveAc& aircraft : liveAcs) {
      stateBefore_.emplace_back(aircraft.hexid, aircraft.state);
    }
  }

  // Whether the flight's reports kept coming from shortly before its removal at tick `removedAt` until `tick`.
  bool reportedSince(std::uint32_t hexid, std::int32_t removedAt, std::int32_t tick) const {
    constexpr double beforeRemoval = 35.0;
    return feed.reportedThroughout(hexid, removedAt / 100.0 - beforeRemoval, tick / 100.0);
  }

  // An aircraft traded away may come back while still reported only once it lies clearly nearer to the user than the
  // farthest aircraft shown. Coming back at the edge of what is shown is flicker: it would be the next to go.
  void checkComeback(const LiveAc& aircraft) {
    constexpr double clearlyNearerNm = 1.0;
    const auto tradedOut = tradedOut_.find(aircraft.hexid);
    if (tradedOut == tradedOut_.end()) {
      return;
    }
    const std::int32_t removedAt = tradedOut->second;
    tradedOut_.erase(tradedOut);
    if (!reportedSince(aircraft.hexid, removedAt, tickCount)) {
      return;
    }
    const LatLon user = userAt(tickCount / ticksPerSecond);
    double farthestShown = 0.0;
    for (const LiveAc& shown : liveAcs) {
      if (shown.state == AcState::active || shown.state == AcState::removingfromsim) {
        farthestShown = std::max(farthestShown, gf_distanceNM(user, {shown.simPos.lat, shown.simPos.lon}));
      }
    }
    const TimedPosition& at = aircraft.stream.front();
    const double distance = gf_distanceNM(user, {at.lat, at.lon});
    if (distance > farthestShown - clearlyNearerNm) {
      fault(fmt::format("{} traded away at {:.2f} s came back at {:.1f} nm, {:.1f} nm shown", aircraft.callsign,
                        removedAt / 100.0, distance, farthestShown));
    }
  }

  // An aircraft newly at a stand has arrived there when it drives onto it; otherwise it was created there.
  void checkParked() {
    std::vector<std::uint32_t> places;
    std::size_t arrivals = 0;
    for (const LiveAc& aircraft : liveAcs) {
      if (lf_holdsPlace(aircraft)) {
        places.push_back(aircraft.hexid);
        const bool isNew = std::find(places_.begin(), places_.end(), aircraft.hexid) == places_.end();
        arrivals += isNew && aircraft.phase == AcPhase::parking ? 1 : 0;
      }
    }
    const auto left =
        static_cast<std::size_t>(std::count_if(places_.begin(), places_.end(), [&places](std::uint32_t hexid) {
          return std::find(places.begin(), places.end(), hexid) == places.end();
        }));
    const std::size_t excess = places_.size() > wantedParked ? places_.size() - wantedParked : 0;
    const std::size_t allowed = wantedParked + (excess > left ? excess - left : 0) + arrivals;
    if (places.size() > allowed) {
      fault(fmt::format("{} parked of {} allowed", places.size(), allowed));
    }
    mostParked_ = std::max(mostParked_, places.size());
    places_ = std::move(places);
  }

  void checkHandovers() {
    const auto& history = simulator.history();
    for (; seenHistory_ < history.size(); ++seenHistory_) {
      const SimulatorStandIn::Handover& handover = history[seenHistory_];
      // An object never flown was never shown as an aircraft (a late one of a creation given up).
      if (!handover.created && !handover.flown) {
        continue;
      }
      if (!handover.created) {
        const auto traded = std::find(tradedAway_.begin(), tradedAway_.end(), handover.hexid);
        if (traded != tradedAway_.end()) {
          tradedAway_.erase(traded);
          tradedOut_[handover.hexid] = handover.tick;
          lastRemoval_.erase(handover.hexid);
        } else {
          lastRemoval_[handover.hexid] = handover.tick;
        }
        continue;
      }
      lastCreation_[handover.hexid] = handover.tick;
      const auto removed = lastRemoval_.find(handover.hexid);
      if (removed != lastRemoval_.end() && reportedSince(handover.hexid, removed->second, handover.tick)) {
        fault(fmt::format("{} removed at {:.2f} s and created again while reported", handover.tailNumber,
                          removed->second / 100.0));
      }
    }
  }

  // A creation handed over and not yet answered.
  void checkCreation(const LiveAc& aircraft) {
    if (aircraft.state != AcState::adding2sim || aircraft.objectId != 0 || aircraft.remove || aircraft.removeNow ||
        std::find(addingStack.begin(), addingStack.end(), aircraft.hexid) != addingStack.end() ||
        std::any_of(liveCreateBacklog.begin(), liveCreateBacklog.end(),
                    [&aircraft](const CreateRequest& request) { return request.hexid == aircraft.hexid; })) {
      return;
    }
    const auto handedOver = lastCreation_.find(aircraft.hexid);
    if (handedOver != lastCreation_.end() && tickCount - handedOver->second > showLimitTicks_) {
      fault(fmt::format("{} being created since {:.2f} s", aircraft.callsign, handedOver->second / 100.0));
    }
  }

  // Every record's object is there, and every object is a record's, or the link's answer for it or its removal is
  // on its way.
  void checkObjects() {
    std::vector<std::uint32_t> known(removalBacklog.begin(), removalBacklog.end());
    {
      const std::lock_guard lock{simResultMutex};
      for (const SimResult& result : simResults) {
        known.push_back(result.objectId);
      }
    }
    for (const LiveAc& aircraft : liveAcs) {
      known.push_back(aircraft.objectId);
      const auto object = simulator.objects().find(aircraft.objectId);
      if (aircraft.objectId != 0 && aircraft.state != AcState::removingfromsim && object == simulator.objects().end()) {
        fault(fmt::format("{} has no object", aircraft.callsign));
      }
      if (object != simulator.objects().end() && object->second.title != aircraft.liveryTitle) {
        fault(fmt::format("{} {} flies as {}", aircraft.callsign, aircraft.type, object->second.title));
      }
    }
    for (const auto& [objectId, object] : simulator.objects()) {
      if (std::find(known.begin(), known.end(), objectId) == known.end()) {
        fault(fmt::format("object of {} left behind", object.tailNumber));
      }
    }
  }

  void fault(const std::string& what) { faults_.add(what, tickCount / static_cast<double>(ticksPerSecond)); }

  // A creation the simulator has not shown after this many ticks is given up.
  std::int32_t showLimitTicks_ = 6000;
  // New values of Max live by the second they are set at.
  std::map<std::int32_t, std::int32_t> limitChanges_;
  std::int32_t limitLoweredAt_ = -limitGraceTicks - 1;
  std::map<std::uint32_t, std::int32_t> shownSeconds_;

  // The aircraft holding a parked place at the last change.
  std::vector<std::uint32_t> places_;
  Signature placesBefore_;
  Signature objectsBefore_;
  Signature statesBefore_;
  std::vector<std::pair<std::uint32_t, AcState>> stateBefore_;
  // Hexids of the aircraft traded away at the live limit whose objects are still to be removed, and of those
  // removed, with the tick.
  std::vector<std::uint32_t> tradedAway_;
  std::map<std::uint32_t, std::int32_t> tradedOut_;
  std::map<std::uint32_t, std::int32_t> lastCreation_;
  std::map<std::uint32_t, std::int32_t> lastRemoval_;
  std::size_t seenHistory_ = 0;
  std::size_t mostLive_ = 0;
  std::size_t mostParked_ = 0;
  FaultTally faults_;
};

TEST_F(BusyHalfHour, NoAircraftFlickersSticksOrGoesBeyondItsLimitWhileTheUserFliesThroughTheTraffic) {
  scheduleOverflights(260);
  scheduleHub(40);
  feed.sort();
  run();

  EXPECT_GE(simulator.creations(), 250U);
  EXPECT_GE(loggedCount("arrived at stand"), 30U);
  EXPECT_EQ(mostLive_, static_cast<std::size_t>(liveLimit));
  EXPECT_GT(mostParked_, wantedParked);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

// The same half hour on a simulator that takes 20 to 90 s to load the model of every third flight, with the
// overflights' callsigns each shared by two flights of different types. Max live is 100 until it drops to 10 at the
// 20th minute; it comes back at the 25th.
class BusyHalfHourOnASlowSimulator : public BusyHalfHour {
 protected:
  static constexpr std::int32_t lowLimitFrom = 1200;

  BusyHalfHourOnASlowSimulator() {
    MAX_LIVE_SEL.value = 100;
    showLimitTicks_ = 24000;
    limitChanges_ = {{lowLimitFrom, 10}, {1500, 100}};
  }

  void slowDown() {
    std::mt19937 random{907};
    std::uniform_int_distribution<std::int32_t> loadSeconds(20, 90);
    const auto slow = [&](const std::string& tail) { simulator.setLoadTicksOfTail(tail, {loadSeconds(random) * 100}); };
    for (std::uint32_t number = 0; number < 180; number += 3) {
      slow(fmt::format("OVF{}", number));
    }
    for (std::uint32_t number = 0; number < 140; number += 3) {
      slow(fmt::format("HUB{}", number));
    }
  }
};

TEST_F(BusyHalfHourOnASlowSimulator, EveryFlightIsShownAsItselfForMostOfItsReportsAndTheLiveCountFollowsMaxLive) {
  scheduleOverflights(260, true);
  scheduleHub(40);
  slowDown();
  feed.sort();
  run();

  EXPECT_TRUE(faults_.empty()) << faults_.list();
  // Every flight reported for more than three minutes before the limit dropped was shown for most of that time.
  std::string shownLittle;
  for (const auto& [hexid, reported] : feed.reportedSeconds()) {
    if (reported > 180 && feed.lastReport(hexid) < lowLimitFrom && shownSeconds_[hexid] * 2 < reported) {
      shownLittle += fmt::format("{:x} shown {} of {} s\n", hexid, shownSeconds_[hexid], reported);
    }
  }
  EXPECT_TRUE(shownLittle.empty()) << shownLittle;
  EXPECT_GE(loggedCount("did not show in the simulator within 60 s, given up"), 5U);
}

}  // namespace
}  // namespace cvl::test
