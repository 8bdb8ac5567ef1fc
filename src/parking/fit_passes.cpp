#include "parking/fit_passes.h"

#include <fmt/format.h>

#include <algorithm>
#include <random>

#include "app/main_window.h"
#include "app/run_loop.h"
#include "foundation/log.h"
#include "foundation/random.h"
#include "foundation/settings_catalogue.h"
#include "foundation/timekeeping.h"
#include "foundation/utilities.h"
#include "parking/fit_levels.h"
#include "parking/park_pos.h"
#include "parking/stand_search.h"

namespace cvl {
namespace {

constexpr std::size_t candidateRoom = 256;

std::int64_t lf_selectedStandCount() {
  return std::count_if(parkPositions.begin(), parkPositions.end(), [](const ParkPos& stand) { return stand.selected; });
}

std::int64_t lf_entryCount() {
  return static_cast<std::int64_t>(parkedEntries.size());
}

std::string_view lf_passName(std::uint32_t real, std::uint32_t day) {
  if (day != 0) {
    return real != 0 ? "real" : "soft";
  }
  return real != 0 ? "week/real" : "week/soft";
}

void lf_logFound(std::int64_t found, std::uint32_t real, std::uint32_t day, const WeekTime& now, int level) {
  if (found < 1) {
    return;
  }
  gf_log(fmt::format("{} {} position{} found, Max fit={:.1F} hours{}{}", found, lf_passName(real, day),
                     gf_pluralS(found), MAX_FIT_FL.value.load(), fmt::format(", day {}", now.day),
                     fmt::format(", hh:{} or {:.1F} hrs, fit: {:.1F} hour", now.halfHour,
                                 gf_fitLevelToHours(now.halfHour), gf_fitLevelToHours(level))));
}

void lf_appendEntries(std::vector<ParkedEntry>& entries) {
  parkedEntries.insert(parkedEntries.end(), std::make_move_iterator(entries.begin()),
                       std::make_move_iterator(entries.end()));
  entries.clear();
}

}  // namespace

std::int32_t realFitLevel = 0;
std::int32_t softFitLevel = -1;

void lf_selectParkedAircraft(const WeekTime& now, std::int64_t wanted, std::int64_t already) {
  realFitLevel = 0;
  softFitLevel = -1;
  const auto moreWanted = [&] { return wanted > already + lf_entryCount(); };
  lf_fitPass(now, wanted, already, 1, 1);
  if (WEEK.value && moreWanted()) {
    lf_fitPass(now, wanted, already, 1, 0);
  }
  if (PARK_SOFT.value && moreWanted()) {
    lf_fitPass(now, wanted, already, 0, 1);
  }
  if (PARK_SOFT.value && WEEK.value && moreWanted()) {
    lf_fitPass(now, wanted, already, 0, 0);
  }
}

void lf_fitPass(const WeekTime& now, std::int64_t wanted, std::int64_t already, std::uint32_t real, std::uint32_t day) {
  std::vector<ParkedEntry> candidates;
  candidates.reserve(candidateRoom);
  if (lf_fitPositions(now, real, day, wanted, candidates)) {
    // The last level found more than needed: the excess is left out, at random when RANDOM is on.
    const std::int64_t found = static_cast<std::int64_t>(candidates.size());
    const std::int64_t excess = already + lf_entryCount() + found - wanted;
    if (excess >= 1 && found > 0) {
      if (RANDOM.value) {
        std::shuffle(candidates.begin(), candidates.end(), randomEngine);
      }
      if (excess <= found) {
        candidates.resize(static_cast<std::size_t>(found - excess));
      }
    }
    lf_appendEntries(candidates);
  }
  const std::int64_t room = std::max<std::int64_t>(wanted - already, 0);
  if (lf_entryCount() > room) {
    parkedEntries.resize(static_cast<std::size_t>(room));
  }
}

bool lf_fitPositions(const WeekTime& now, std::uint32_t real, std::uint32_t day, std::int64_t wanted,
                     std::vector<ParkedEntry>& candidates) {
  if (wanted <= 0) {
    return true;
  }
  const std::int64_t before = lf_selectedStandCount();
  bool enough = false;
  int level = 0;
  for (;;) {
    lf_searchStands(now, real, day, level, candidates);
    if (wanted <= lf_selectedStandCount()) {
      enough = true;
      break;
    }
    lf_appendEntries(candidates);
    if (++level > MAX_FIT.value) {
      break;
    }
  }
  if (real != 0) {
    realFitLevel = level;
    softFitLevel = -1;
  } else {
    softFitLevel = level;
  }
  lf_logFound(lf_selectedStandCount() - before, real, day, now, level);
  mainWindow.staticWeekMark = day == 0;
  mainWindow.staticSoftMark = real == 0;
  gf_invalidateBand(rcStaticParking);
  return enough;
}

WeekTime lf_logUtcDay() {
  const WeekTime now = WeekTime::unpacked(weekTimeNow);
  gf_log(fmt::format("\n{} (utc) It is day {} ({}), {:.1F} hours", gf_trafficNowHms(), now.day, gf_dayName(now.day),
                     gf_fitLevelToHours(now.halfHour)));
  return now;
}

}  // namespace cvl
