// The traffic engine's step (one 10-ms tick) with 100, 1,000 and 5,000 live aircraft in the simulator, half of them
// flying and half taxiing, each with a long stream of reports ahead, and two traffic items arriving every tick. The
// peak resident memory of the process is reported with each size.
// Then a busy feed: 600 flights in the simulator, each reporting every 2 s (three reports each tick), for five
// minutes of ticks; the longest traffic queue and the aircraft still in the simulator at the end are reported.
// Then a binding Max live with a fifth of the aircraft waiting in the buffer after their creations were given up (a
// model that never loads), or taken out while being created, against the same aircraft all shown, measured in one
// run; and the ghost list at 100,000 ghosts.
#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "engine/aircraft_lists.h"
#include "engine/conflict_rules.h"
#include "engine/engine_tick.h"
#include "engine/tick_count.h"
#include "engine/traffic_state.h"
#include "foundation/settings_catalogue.h"
#include "simlink/send_queues.h"
#include "simlink/sim_client_thread.h"
#include "trafficin/traffic_queue.h"

namespace {

constexpr std::uint32_t firstHexid = 0x400000;
constexpr std::int32_t reportsAhead = 200;
constexpr std::int32_t reportTicks = 500;  // a report every 5 s

cvl::TimedPosition lf_report(std::int32_t index, std::int32_t n, bool airborne) {
  cvl::TimedPosition position;
  const double along = airborne ? 0.0005 : 0.00002;  // degrees per second: about 250 kt and 15 kt
  position.lat = 40.0 + 0.01 * (index % 100);
  position.lon = 5.0 + 0.01 * (index / 100) + along * 5.0 * n;
  position.altitude = airborne ? 8000.0 : 0.0;
  position.airborne = airborne;
  position.groundSpeed = airborne ? 250.0 : 15.0;
  position.tas = position.groundSpeed;
  position.track = 90.0;
  position.dueTick = n * reportTicks;
  return position;
}

cvl::LiveAc& lf_addWithStream(std::int32_t index, bool airborne, const std::string& callsign,
                              std::int32_t reports = reportsAhead) {
  cvl::IdentityTexts texts;
  texts.callsign = callsign;
  texts.type = "A320";
  cvl::AcIdentity identity{texts};
  identity.hexid = firstHexid + static_cast<std::uint32_t>(index);
  cvl::LiveAc& aircraft = cvl::liveAcs.emplace_back(identity, lf_report(index, 0, airborne), 0.0);
  for (std::int32_t n = 1; n < reports; ++n) {
    aircraft.stream.push_back(lf_report(index, n, airborne));
  }
  aircraft.phase = airborne ? cvl::AcPhase::flying : cvl::AcPhase::taxi;
  return aircraft;
}

void lf_addActive(std::int32_t index) {
  const bool airborne = index % 2 == 0;
  cvl::LiveAc& aircraft = lf_addWithStream(index, airborne, "BNC" + std::to_string(index));
  aircraft.state = cvl::AcState::active;
  aircraft.onGround = !airborne;
  aircraft.objectId = 100 + static_cast<std::uint32_t>(index);
  aircraft.simPos.lat = aircraft.stream.front().lat;
  aircraft.simPos.lon = aircraft.stream.front().lon;
  aircraft.simPos.altitude = aircraft.stream.front().altitude;
  aircraft.simPos.heading = 1.5707963267948966;
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
    item.position = lf_report(0, 0, true);
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
    lf_addActive(index);
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

// A creation handed over a minute ago that the simulator has not shown: the first tick gives it up.
void lf_addOverdueCreation(std::int32_t index) {
  cvl::LiveAc& aircraft = lf_addWithStream(index, true, fmt::format("GVN{}", index));
  aircraft.state = cvl::AcState::adding2sim;
  aircraft.handedOverAt = cvl::tickCount - 6000;
}

// A creation handed over a minute ago that the limit took out while it was being created, for a nearer newcomer: it
// waits for its object, and looks for traffic waiting for its callsign.
void lf_addTakenOutCreation(std::int32_t index) {
  cvl::LiveAc& aircraft = lf_addWithStream(index, true, fmt::format("OUT{}", index));
  aircraft.state = cvl::AcState::adding2sim;
  aircraft.handedOverAt = cvl::tickCount - 6000;
  aircraft.waitRemove = true;
  aircraft.withoutPlace = true;
}

// Microseconds per tick of the same traffic all shown, by the number of aircraft: on average, and at the dearest tick
// of the second (the ticks at the same place in every second, averaged): the figures the waiting is held to.
std::map<std::int64_t, std::pair<double, double>> allShownMicros;

// The average cost of each tick of the second, the dearest of them.
class TicksOfTheSecond {
 public:
  void add(std::int32_t tick, double micros) {
    const auto place = static_cast<std::size_t>(tick % cvl::ticksPerSecond);
    micros_[place] += micros;
    ++counts_[place];
  }
  double dearest() const {
    double dearest = 0.0;
    for (std::size_t place = 0; place < micros_.size(); ++place) {
      dearest = counts_[place] == 0 ? dearest : std::max(dearest, micros_[place] / counts_[place]);
    }
    return dearest;
  }

 private:
  std::array<double, cvl::ticksPerSecond> micros_{};
  std::array<double, cvl::ticksPerSecond> counts_{};
};

// The traffic of BM_EngineStep at a Max live of four fifths of it: the rest waits, given up in the buffer (the second
// argument 1) or taken out while being created (2), or all of it is shown (0). The waiting cases report their cost as
// a share of the shown one's, on average and at the dearest tick of the second: aircraft waiting are looked at once a
// second, which no single tick of it should pay for.
void BM_EngineStepGivenUpWaiting(benchmark::State& state) {
  const auto count = static_cast<std::int32_t>(state.range(0));
  const auto waitingKind = state.range(1);
  const bool waiting = waitingKind != 0;
  const std::int32_t shown = count * 4 / 5;
  lf_startEngine();
  const std::int32_t savedMaxLive = cvl::MAX_LIVE_SEL.value;
  cvl::MAX_LIVE_SEL.value = shown;
  for (std::int32_t index = 0; index < count; ++index) {
    if (!waiting || index < shown) {
      lf_addActive(index);
    } else if (waitingKind == 1) {
      lf_addOverdueCreation(index);
    } else {
      lf_addTakenOutCreation(index);
    }
  }
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
  const double micros =
      Micros{std::chrono::steady_clock::now() - started}.count() / static_cast<double>(state.iterations());
  const double dearest = ticksOfTheSecond.dearest();
  state.counters["dearest_tick_us"] = dearest;
  if (waiting) {
    state.counters["vs_all_shown"] = micros / allShownMicros[count].first;
    state.counters["dearest_vs_all_shown"] = dearest / allShownMicros[count].second;
  } else {
    allShownMicros[count] = {micros, dearest};
  }
  state.counters["waiting"] =
      static_cast<double>(std::count_if(cvl::liveAcs.begin(), cvl::liveAcs.end(), [](const cvl::LiveAc& aircraft) {
        return aircraft.state == cvl::AcState::buffer || aircraft.withoutPlace;
      }));
  cvl::MAX_LIVE_SEL.value = savedMaxLive;
  lf_endEngine();
}

BENCHMARK(BM_EngineStepGivenUpWaiting)
    ->Args({625, 0})
    ->Args({625, 1})
    ->Args({625, 2})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({1000, 2})
    ->Args({5000, 0})
    ->Args({5000, 1})
    ->Args({5000, 2})
    ->Unit(benchmark::kMicrosecond);

// A ghost removed: its callsign goes into the list.
void lf_listGhost(const std::string& callsign) {
  lf_addWithStream(2000, true, fmt::format("{}_", callsign), 2);
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
    lf_addActive(index);
  }
  for (std::int32_t number = 0; state.range(0) != 0 && number < 100000; ++number) {
    lf_listGhost(fmt::format("G{}", number));
  }
  for (std::int32_t index = 1000; index < 1200; ++index) {
    lf_listGhost(fmt::format("WTG{}", index));
  }
  for (auto _ : state) {
    for (std::int32_t index = 1000; index < 1200; ++index) {
      lf_addWithStream(index, true, fmt::format("WTG{}_", index), 2).stream.front().dueTick = cvl::tickCount;
    }
    lf_queueItems(cvl::tickCount, 1000);
    cvl::lf_handleAddingStack();
  }
  state.counters["ghosts"] = static_cast<double>(cvl::ghostCallsigns.size());
  lf_endEngine();
}

BENCHMARK(BM_EngineStepWithGhostList)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
