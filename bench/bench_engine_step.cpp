// The traffic engine's step (one 10-ms tick) with 100, 1,000 and 5,000 live aircraft in the simulator, half of them
// flying and half taxiing, each with a long stream of reports ahead, and two traffic items arriving every tick. The
// peak resident memory of the process is reported with each size.
// Then a busy feed: 600 flights in the simulator, each reporting every 2 s (three reports each tick), for five
// minutes of ticks; the longest traffic queue and the aircraft still in the simulator at the end are reported.
// Then a binding Max live with a fifth of the aircraft waiting: in the buffer after their creations were given up (a
// model that never loads), or taken out while being created by a lowered Max live or for nearer newcomers, against
// the same aircraft all shown, tick by tick of the second, measured in one run; and the ghost list at 100,000 ghosts.
#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "engine/aircraft_lists.h"
#include "engine/conflict_rules.h"
#include "engine/engine_state.h"
#include "engine/engine_tick.h"
#include "engine/live_ac_lookup.h"
#include "engine/live_limit.h"
#include "engine/tick_count.h"
#include "engine/traffic_state.h"
#include "foundation/geometry.h"
#include "foundation/settings_catalogue.h"
#include "simlink/send_queues.h"
#include "simlink/sim_client_thread.h"
#include "simlink/user_aircraft.h"
#include "trafficin/traffic_queue.h"

namespace {

constexpr std::uint32_t firstHexid = 0x400000;
constexpr std::int32_t reportsAhead = 200;
constexpr std::int32_t reportTicks = 500;  // a report every 5 s

// Where an aircraft's reports begin, and the tick at which the first falls due; the others follow every 5 s.
struct Track {
  cvl::LatLon start;
  std::int32_t firstDue = 0;
};

// A grid of 0.01 degrees, 100 aircraft from south to north in each column, their reports due at the same ticks.
Track lf_gridTrack(std::int32_t index) {
  return {{40.0 + 0.01 * (index % 100), 5.0 + 0.01 * (index / 100)}, 0};
}

cvl::TimedPosition lf_report(const Track& track, std::int32_t n, bool airborne) {
  cvl::TimedPosition position;
  const double along = airborne ? 0.0005 : 0.00002;  // degrees per second: about 250 kt and 15 kt
  position.lat = track.start.lat;
  position.lon = track.start.lon + along * 5.0 * n;
  position.altitude = airborne ? 8000.0 : 0.0;
  position.airborne = airborne;
  position.groundSpeed = airborne ? 250.0 : 15.0;
  position.tas = position.groundSpeed;
  position.track = 90.0;
  position.dueTick = track.firstDue + n * reportTicks;
  return position;
}

cvl::LiveAc& lf_addWithStream(std::int32_t index, const Track& track, bool airborne, const std::string& callsign,
                              std::int32_t reports = reportsAhead) {
  cvl::IdentityTexts texts;
  texts.callsign = callsign;
  texts.type = "A320";
  cvl::AcIdentity identity{texts};
  identity.hexid = firstHexid + static_cast<std::uint32_t>(index);
  cvl::LiveAc& aircraft = cvl::liveAcs.emplace_back(identity, lf_report(track, 0, airborne), 0.0);
  for (std::int32_t n = 1; n < reports; ++n) {
    aircraft.stream.push_back(lf_report(track, n, airborne));
  }
  aircraft.phase = airborne ? cvl::AcPhase::flying : cvl::AcPhase::taxi;
  return aircraft;
}

// Half the flights fly and half taxi.
cvl::LiveAc& lf_addFlight(std::int32_t index, const Track& track) {
  return lf_addWithStream(index, track, index % 2 == 0, "BNC" + std::to_string(index));
}

void lf_placeAtFirstReport(cvl::LiveAc& aircraft) {
  const cvl::TimedPosition& first = aircraft.stream.front();
  aircraft.simPos.lat = first.lat;
  aircraft.simPos.lon = first.lon;
  aircraft.simPos.altitude = first.altitude;
  aircraft.simPos.heading = 1.5707963267948966;
}

void lf_show(cvl::LiveAc& aircraft) {
  aircraft.state = cvl::AcState::active;
  aircraft.onGround = !aircraft.stream.front().airborne;
  aircraft.objectId = 100 + (aircraft.hexid - firstHexid);
  lf_placeAtFirstReport(aircraft);
}

void lf_addActive(std::int32_t index, const Track& track) {
  lf_show(lf_addFlight(index, track));
}

// Reports of aircraft already known, newer by half a second: the engine looks them up and filters them out.
void lf_queueItems(std::int32_t tick, std::int32_t count) {
  const std::lock_guard lock{cvl::trafficQueueMutex};
  for (std::int32_t k = 0; k < 2; ++k) {
    cvl::TrafficItem item;
    item.hexid = firstHexid + static_cast<std::uint32_t>((2 * tick + k) % count);
    item.callsign = "BNC";
    item.type = "A320";
    item.timestamp = 0.5;
    item.position = lf_report(lf_gridTrack(0), 0, true);
    cvl::trafficQueue.push_back(std::move(item));
  }
}

// Empty engine containers and send queues; no simulator is connected, so the direct requests are not made.
void lf_startEngine() {
  cvl::gf_resetTrafficState();
  cvl::gf_clearSendQueues();
  cvl::gf_initTrafficContainers();
  cvl::simConnectFailed = true;
}

void lf_endEngine() {
  cvl::gf_resetTrafficState();
  cvl::gf_clearSendQueues();
  const std::lock_guard lock{cvl::trafficQueueMutex};
  cvl::trafficQueue.clear();
}

std::int64_t lf_peakResidentKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void BM_EngineStep(benchmark::State& state) {
  const auto count = static_cast<std::int32_t>(state.range(0));
  lf_startEngine();
  for (std::int32_t index = 0; index < count; ++index) {
    lf_addActive(index, lf_gridTrack(index));
  }
  for (auto _ : state) {
    lf_queueItems(cvl::tickCount, count);
    cvl::lf_handleAddingStack();
  }
  state.counters["aircraft"] = static_cast<double>(cvl::liveAcs.size());
  state.counters["peak_rss_MiB"] = static_cast<double>(lf_peakResidentKib()) / 1024.0;
  lf_endEngine();
}

BENCHMARK(BM_EngineStep)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

constexpr std::int32_t busyFlights = 600;
constexpr std::int32_t busyReportTicks = 200;  // a report every 2 s
constexpr std::int32_t dueDelayTicks = 3000;

// Where the flight is at the tick its report falls due, and when it was there (seconds).
cvl::TimedPosition lf_busyReport(std::int32_t index, std::int32_t dueTick) {
  cvl::TimedPosition position;
  position.lat = 40.0 + 0.01 * index;
  position.lon = 5.0 + 0.0015 * dueTick / 100.0;  // about 250 kt east
  position.altitude = 8000.0;
  position.airborne = true;
  position.groundSpeed = 250.0;
  position.tas = 250.0;
  position.track = 90.0;
  position.dueTick = dueTick;
  return position;
}

// A flight in the simulator whose reports of the last 30 s are in its stream.
void lf_addBusyFlight(std::int32_t index) {
  cvl::IdentityTexts texts;
  texts.callsign = "BSY" + std::to_string(index);
  texts.type = "A320";
  cvl::AcIdentity identity{texts};
  identity.hexid = firstHexid + static_cast<std::uint32_t>(index);
  const std::int32_t firstDue = index % busyReportTicks - dueDelayTicks;
  cvl::LiveAc& aircraft = cvl::liveAcs.emplace_back(identity, lf_busyReport(index, firstDue), firstDue / 100.0);
  for (std::int32_t due = firstDue + busyReportTicks; due < dueDelayTicks; due += busyReportTicks) {
    aircraft.stream.push_back(lf_busyReport(index, due));
    aircraft.lastItemTime = due / 100.0;
  }
  aircraft.state = cvl::AcState::active;
  aircraft.phase = cvl::AcPhase::flying;
  aircraft.objectId = 100 + static_cast<std::uint32_t>(index);
  aircraft.simPos.lat = aircraft.stream.front().lat;
  aircraft.simPos.lon = aircraft.stream.front().lon;
  aircraft.simPos.altitude = aircraft.stream.front().altitude;
  aircraft.simPos.heading = 1.5707963267948966;
}

void lf_queueBusyReports(std::int32_t tick) {
  const std::lock_guard lock{cvl::trafficQueueMutex};
  for (std::int32_t index = tick % busyReportTicks; index < busyFlights; index += busyReportTicks) {
    cvl::TrafficItem item;
    item.hexid = firstHexid + static_cast<std::uint32_t>(index);
    item.callsign = "BSY" + std::to_string(index);
    item.type = "A320";
    item.position = lf_busyReport(index, tick + dueDelayTicks);
    item.timestamp = item.position.dueTick / 100.0;
    cvl::trafficQueue.push_back(std::move(item));
  }
}

void BM_EngineStepBusyFeed(benchmark::State& state) {
  lf_startEngine();
  for (std::int32_t index = 0; index < busyFlights; ++index) {
    lf_addBusyFlight(index);
  }
  std::size_t longestQueue = 0;
  for (auto _ : state) {
    lf_queueBusyReports(cvl::tickCount);
    cvl::lf_handleAddingStack();
    const std::lock_guard lock{cvl::trafficQueueMutex};
    longestQueue = std::max(longestQueue, cvl::trafficQueue.size());
  }
  state.counters["longest_queue"] = static_cast<double>(longestQueue);
  state.counters["aircraft"] =
      static_cast<double>(std::count_if(cvl::liveAcs.begin(), cvl::liveAcs.end(), [](const cvl::LiveAc& aircraft) {
        return aircraft.state == cvl::AcState::active;
      }));
  lf_endEngine();
}

BENCHMARK(BM_EngineStepBusyFeed)->Iterations(30000)->Unit(benchmark::kMicrosecond);

// The traffic of the waiting bench lies around its user by rank of distance, from 2 to 28 nm out, evenly over the
// disc and each rank at its own bearing; a creation still loading may lie farther than all, 39 nm out, within the
// default range of 40 nm. Each aircraft's reports fall due every 5 s at its own tick of them (by index), so that every
// tick applies as many reports.
constexpr cvl::LatLon waitingUser{40.5, 5.25};
constexpr double nearestNm = 2.0;
constexpr double discNm = 26.0;
constexpr double loadingNm = 39.0;
constexpr double goldenAngle = 2.399963229728653;
constexpr double westward = 4.71238898038469;

cvl::LatLon lf_fromUser(double distanceNm, double bearing) {
  return cvl::gf_destinationPoint(waitingUser, bearing, distanceNm * cvl::feetPerNauticalMile);
}

Track lf_discTrack(std::int32_t index, std::int32_t rank, std::int32_t count) {
  const double distanceNm = nearestNm + discNm * std::sqrt((rank + 0.5) / count);
  return {lf_fromUser(distanceNm, rank * goldenAngle), index % reportTicks};
}

// Where the engine takes the user aircraft to be, as the simulator's reply tells it.
void lf_placeUser(const cvl::LatLon& at) {
  {
    const std::lock_guard lock{cvl::userAcMutex};
    cvl::userAcSnapshot.latitude = at.lat;
    cvl::userAcSnapshot.longitude = at.lon;
  }
  cvl::engineUserPosition = cvl::gf_userAcSnapshot();
}

// A creation handed over a minute ago that the simulator has not shown, holding its place.
void lf_addCreation(std::int32_t index, const Track& track, const std::string& callsign) {
  cvl::LiveAc& aircraft = lf_addWithStream(index, track, true, callsign);
  aircraft.state = cvl::AcState::adding2sim;
  aircraft.handedOverAt = cvl::tickCount - 6000;
  lf_placeAtFirstReport(aircraft);
}

void lf_admit(cvl::LiveAc& newcomer) {
  cvl::gf_admitToPlace(newcomer, cvl::gf_decidePlace(newcomer, cvl::PlaceClaim::newcomer));
}

// What the fifth of the traffic that is not shown waits for: the second argument of BM_EngineStepGivenUpWaiting.
enum class Waiting : std::uint8_t { none, givenUp, trimmedOut, takenOutForNearer };

// Flights whose models never load lie amid the traffic, at every fifth rank of distance: their overdue creations are
// given up at the first tick, and they wait in the buffer at the reached limit.
void lf_arrangeGivenUp(std::int32_t count, std::int32_t shown) {
  cvl::MAX_LIVE_SEL.value = shown;
  for (std::int32_t index = 0; index < shown; ++index) {
    lf_addActive(index, lf_discTrack(index, 5 * (index / 4) + index % 4, count));
  }
  for (std::int32_t index = shown; index < count; ++index) {
    lf_addCreation(index, lf_discTrack(index, 5 * (index - shown) + 4, count), fmt::format("GVN{}", index));
  }
}

// Creations of the farthest fifth that a lowered Max live took out: they wait for their objects.
void lf_arrangeTrimmedOut(std::int32_t count, std::int32_t shown) {
  cvl::MAX_LIVE_SEL.value = count;
  for (std::int32_t index = 0; index < shown; ++index) {
    lf_addActive(index, lf_discTrack(index, index, count));
  }
  for (std::int32_t index = shown; index < count; ++index) {
    lf_addCreation(index, lf_discTrack(index, index, count), fmt::format("TRM{}", index));
  }
  cvl::MAX_LIVE_SEL.value = shown;
  cvl::gf_trimToLiveLimit();
}

// Creations of the farthest fifth that newcomers of the nearest fifth replaced, each taking the place of the farthest
// through the limit's own judgement, which then holds the creations out for two minutes. An aircraft shown leaves, and
// its place goes to a creation farther than all, still loading: the creations taken out lie between it and the
// farthest aircraft shown, waiting for their objects.
void lf_arrangeTakenOutForNearer(std::int32_t count, std::int32_t shown) {
  const std::int32_t fifth = count - shown;
  cvl::MAX_LIVE_SEL.value = shown + 1;
  for (std::int32_t index = fifth; index < shown; ++index) {
    lf_addActive(index, lf_discTrack(index, index, count));
  }
  for (std::int32_t index = shown; index < count; ++index) {
    lf_addCreation(index, lf_discTrack(index, index, count), fmt::format("OUT{}", index));
  }
  lf_addActive(count, lf_discTrack(count, 0, count));
  for (std::int32_t index = 0; index < fifth; ++index) {
    cvl::LiveAc& newcomer = lf_addFlight(index, lf_discTrack(index, index, count));
    lf_admit(newcomer);
    lf_show(newcomer);
  }
  cvl::gf_findLiveAcByHexid(firstHexid + static_cast<std::uint32_t>(count))->remove = true;
  cvl::LiveAc& loading = lf_addWithStream(count + 1, {lf_fromUser(loadingNm, westward), 0}, true, "LDG");
  lf_admit(loading);
  loading.state = cvl::AcState::adding2sim;
  loading.handedOverAt = cvl::tickCount;
  lf_placeAtFirstReport(loading);
}

// The same aircraft all shown, beyond the limit: nothing lowers it.
void lf_arrangeAllShown(std::int32_t count, std::int32_t shown) {
  cvl::MAX_LIVE_SEL.value = shown;
  for (std::int32_t index = 0; index < count; ++index) {
    lf_addActive(index, lf_discTrack(index, index, count));
  }
}

void lf_arrange(Waiting waiting, std::int32_t count, std::int32_t shown) {
  switch (waiting) {
    case Waiting::none:
      return lf_arrangeAllShown(count, shown);
    case Waiting::givenUp:
      return lf_arrangeGivenUp(count, shown);
    case Waiting::trimmedOut:
      return lf_arrangeTrimmedOut(count, shown);
    case Waiting::takenOutForNearer:
      return lf_arrangeTakenOutForNearer(count, shown);
  }
}

// Microseconds per tick: on average, and at each tick of the second, the median of the ticks at that place in every
// second, so that a tick the machine took from the bench weighs as one of many.
struct TickCosts {
  double average = 0.0;
  std::array<double, cvl::ticksPerSecond> byPlace{};
};

class TicksOfTheSecond {
 public:
  void add(std::int32_t tick, double micros) {
    ticks_[static_cast<std::size_t>(tick % cvl::ticksPerSecond)].push_back(micros);
  }
  std::array<double, cvl::ticksPerSecond> medians() {
    std::array<double, cvl::ticksPerSecond> medians{};
    for (std::size_t place = 0; place < medians.size(); ++place) {
      std::vector<double>& ticks = ticks_[place];
      const auto middle = ticks.begin() + static_cast<std::ptrdiff_t>(ticks.size() / 2);
      std::nth_element(ticks.begin(), middle, ticks.end());
      medians[place] = *middle;
    }
    return medians;
  }

 private:
  std::array<std::vector<double>, cvl::ticksPerSecond> ticks_;
};

// The same traffic all shown, by the number of aircraft: the costs the waiting is held to.
std::map<std::int64_t, TickCosts> allShown;

// The traffic at a Max live of four fifths of it, the rest waiting (the second argument: given up in the buffer 1,
// taken out by a lowered Max live 2, taken out for nearer newcomers 3) or all of it shown (0), over 30 s of ticks after
// 2 s that settle it. The ticks of the second differ: the user's position is asked at the first, and each aircraft
// waiting looks at its own (hexid % 100); the first look in a second, at its first tick (the waiting hexids take every
// tick of it), also takes the look of that second at the places. The waiting runs report their cost as a share of the
// shown run's, on average and at the tick of the second where the share is largest (each tick against the same tick
// with all shown; dearest_place): aircraft waiting are looked at once a second, which no tick of it should pay for.
void BM_EngineStepGivenUpWaiting(benchmark::State& state) {
  const auto count = static_cast<std::int32_t>(state.range(0));
  const auto waiting = static_cast<Waiting>(state.range(1));
  const std::int32_t shown = count * 4 / 5;
  lf_startEngine();
  const std::int32_t savedMaxLive = cvl::MAX_LIVE_SEL.value;
  lf_placeUser(waitingUser);
  lf_arrange(waiting, count, shown);
  for (std::int32_t tick = 0; tick < 200; ++tick) {
    cvl::lf_handleAddingStack();
  }
  using Micros = std::chrono::duration<double, std::micro>;
  TicksOfTheSecond ticksOfTheSecond;
  const auto started = std::chrono::steady_clock::now();
  for (auto _ : state) {
    const std::int32_t tick = cvl::tickCount;
    const auto tickStarted = std::chrono::steady_clock::now();
    lf_queueItems(tick, shown);
    cvl::lf_handleAddingStack();
    ticksOfTheSecond.add(tick, Micros{std::chrono::steady_clock::now() - tickStarted}.count());
  }
  const TickCosts costs{
      Micros{std::chrono::steady_clock::now() - started}.count() / static_cast<double>(state.iterations()),
      ticksOfTheSecond.medians()};
  state.counters["dearest_tick_us"] = *std::max_element(costs.byPlace.begin(), costs.byPlace.end());
  if (waiting == Waiting::none) {
    allShown[count] = costs;
  } else {
    const TickCosts& shownCosts = allShown[count];
    const auto share = [&costs, &shownCosts](std::size_t place) {
      return costs.byPlace[place] / shownCosts.byPlace[place];
    };
    std::size_t dearest = 0;
    for (std::size_t place = 1; place < costs.byPlace.size(); ++place) {
      dearest = share(place) > share(dearest) ? place : dearest;
    }
    state.counters["vs_all_shown"] = costs.average / shownCosts.average;
    state.counters["dearest_vs_all_shown"] = share(dearest);
    state.counters["dearest_place"] = static_cast<double>(dearest);
  }
  state.counters["waiting"] =
      static_cast<double>(std::count_if(cvl::liveAcs.begin(), cvl::liveAcs.end(), [](const cvl::LiveAc& aircraft) {
        return aircraft.state == cvl::AcState::buffer || aircraft.withoutPlace;
      }));
  cvl::MAX_LIVE_SEL.value = savedMaxLive;
  lf_placeUser({});
  lf_endEngine();
}

BENCHMARK(BM_EngineStepGivenUpWaiting)
    ->ArgsProduct({{1000, 5000}, {0, 1, 2, 3}})
    ->Iterations(3000)
    ->Unit(benchmark::kMicrosecond);

// A ghost removed: its callsign goes into the list.
void lf_listGhost(const std::string& callsign) {
  lf_addWithStream(2000, lf_gridTrack(2000), true, fmt::format("{}_", callsign), 2);
  cvl::lf_removeGhost(callsign);
  cvl::liveAcs.pop_back();
}

// A sender makes ghosts at will, each reported twice: the time each new one costs the list.
void BM_GhostListing(benchmark::State& state) {
  lf_startEngine();
  std::int32_t number = 0;
  for (auto _ : state) {
    lf_listGhost(fmt::format("G{}", number++));
  }
  state.counters["ghosts"] = static_cast<double>(cvl::ghostCallsigns.size());
  lf_endEngine();
}

BENCHMARK(BM_GhostListing)->Iterations(100000)->Unit(benchmark::kMicrosecond);

// The step of BM_EngineStep at 1,000 aircraft, with 200 flights reported again each tick under callsigns of ghosts
// removed before, which the step finds in the ghost list and removes; the list holds just those (the argument 0) or
// 100,000 ghosts more.
void BM_EngineStepWithGhostList(benchmark::State& state) {
  lf_startEngine();
  for (std::int32_t index = 0; index < 1000; ++index) {
    lf_addActive(index, lf_gridTrack(index));
  }
  for (std::int32_t number = 0; state.range(0) != 0 && number < 100000; ++number) {
    lf_listGhost(fmt::format("G{}", number));
  }
  for (std::int32_t index = 1000; index < 1200; ++index) {
    lf_listGhost(fmt::format("WTG{}", index));
  }
  for (auto _ : state) {
    for (std::int32_t index = 1000; index < 1200; ++index) {
      lf_addWithStream(index, lf_gridTrack(index), true, fmt::format("WTG{}_", index), 2).stream.front().dueTick =
          cvl::tickCount;
    }
    lf_queueItems(cvl::tickCount, 1000);
    cvl::lf_handleAddingStack();
  }
  state.counters["ghosts"] = static_cast<double>(cvl::ghostCallsigns.size());
  lf_endEngine();
}

BENCHMARK(BM_EngineStepWithGhostList)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
