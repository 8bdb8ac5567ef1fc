#include "engine/feed_time.h"

#include <fmt/format.h>

#include <cstdint>
#include <optional>
#include <unordered_map>

#include "engine/tick_count.h"
#include "foundation/log.h"
#include "foundation/throttled_log.h"

namespace cvl {
namespace {

// Seconds ahead of its source's clock that no report of a running feed comes.
constexpr double aheadMargin = 60.0;
constexpr int loggedPerAircraft = 3;
// An aircraft none of whose reports was ignored for this long is no longer a suspect; looked at once a minute.
constexpr std::int32_t suspectTicks = 120 * ticksPerSecond;
constexpr std::int32_t pruneTicks = 60 * ticksPerSecond;

// A data time read at a tick: the clock it stands for runs on with the ticks.
struct ClockReading {
  double time = 0.0;
  std::int32_t tick = 0;

  double at(std::int32_t now) const { return time + (now - tick) / static_cast<double>(ticksPerSecond); }
};

struct Suspect {
  std::optional<ClockReading> unconfirmed;
  std::int32_t ignoredAt = 0;  // tick of the last report ignored
  int logged = 0;
};

std::optional<ClockReading> feedClock;
std::unordered_map<std::uint32_t, Suspect> suspects;
// The tick at which the flight last ran again after a stop: a report taken before it is no reference.
std::int32_t resumedAt = 0;
std::int32_t prunedAt = 0;

std::optional<ClockReading> lf_referenceFor(const LiveAc* aircraft) {
  if (aircraft == nullptr) {
    return feedClock;
  }
  if (aircraft->lastItemTick < resumedAt) {
    return std::nullopt;
  }
  return ClockReading{aircraft->lastItemTime, aircraft->lastItemTick};
}

void lf_followFeed(const ClockReading& reading) {
  if (!feedClock || reading.at(tickCount) > feedClock->at(tickCount)) {
    feedClock = reading;
  }
}

// The aircraft's previous report was stamped ahead as well, and this one follows on from it.
bool lf_confirmsUnconfirmed(std::uint32_t hexid, const ClockReading& reading) {
  const auto suspect = suspects.find(hexid);
  if (suspect == suspects.end() || !suspect->second.unconfirmed) {
    return false;
  }
  const ClockReading& earlier = *suspect->second.unconfirmed;
  return reading.time > earlier.time && reading.time - earlier.at(reading.tick) <= aheadMargin;
}

void lf_pruneSuspects() {
  if (tickCount - prunedAt < pruneTicks) {
    return;
  }
  prunedAt = tickCount;
  std::erase_if(suspects, [](const auto& entry) { return tickCount - entry.second.ignoredAt > suspectTicks; });
}

// A sender can stamp its reports ahead under ever new hexids, so the lines are few a minute across all aircraft as
// well. The minute is the engine's: while the flight stands still no reports are taken.
ThrottledLog& lf_stampedAheadLog() {
  static ThrottledLog log{"Traffic feed", "stamped-ahead report", gf_tickTime};
  return log;
}

void lf_believe(std::uint32_t hexid, const ClockReading& reading) {
  if (const auto suspect = suspects.find(hexid); suspect != suspects.end()) {
    suspect->second.unconfirmed.reset();
  }
  lf_followFeed(reading);
}

}  // namespace

bool gf_isStampedAhead(const TrafficItem& item, const LiveAc* aircraft) {
  lf_stampedAheadLog().reportWhenDue();
  const ClockReading reading{item.timestamp, tickCount};
  const std::optional<ClockReading> reference = lf_referenceFor(aircraft);
  if (!reference) {
    return false;
  }
  const double aheadBy = item.timestamp - reference->at(reading.tick);
  if (aheadBy <= aheadMargin || lf_confirmsUnconfirmed(item.hexid, reading)) {
    lf_believe(item.hexid, reading);
    return false;
  }
  lf_pruneSuspects();
  Suspect& suspect = suspects[item.hexid];
  suspect.unconfirmed = reading;
  suspect.ignoredAt = reading.tick;
  if (suspect.logged < loggedPerAircraft && lf_stampedAheadLog().admit()) {
    ++suspect.logged;
    gf_log(fmt::format("{:8} {:8} report stamped {:.0f} s ahead of the traffic, ignored", item.callsign,
                       item.registration, aheadBy));
  }
  return true;
}

void gf_resumeFeedTime() {
  feedClock.reset();
  for (auto& [hexid, suspect] : suspects) {
    suspect.unconfirmed.reset();
  }
  resumedAt = tickCount;
}

void gf_resetFeedTime() {
  lf_stampedAheadLog().restart();
  feedClock.reset();
  suspects.clear();
  resumedAt = 0;
  prunedAt = 0;
}

}  // namespace cvl
