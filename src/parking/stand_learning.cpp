#include "parking/stand_learning.h"

#include <fmt/format.h>

#include <algorithm>
#include <exception>

#include "foundation/log.h"
#include "parking/park_pos.h"
#include "parking/stand_options.h"

namespace cvl {
namespace {

constexpr int searchSpan = 10;
constexpr int searchSpanHeavy = 14;

HalfHourSet lf_slotsAround(int halfHour, int span) {
  HalfHourSet mask;
  for (int slot = std::max(halfHour - span, 0); slot <= std::min(halfHour + span, halfHoursPerDay - 1); ++slot) {
    mask.set(static_cast<std::size_t>(slot));
  }
  return mask;
}

}  // namespace

void lf_searchForCoupledCsAroundThisTime(const WeekTime& now, AcIdentity& aircraft) {
  try {
    const std::string_view callsign = gf_withoutGhostMark(aircraft.callsign);
    if (callsign.empty()) {
      return;
    }
    const HalfHourSet mask =
        lf_slotsAround(now.halfHour, aircraft.category == AcCategory::Heavy ? searchSpanHeavy : searchSpan);
    for (const ParkPos& stand : parkPositions) {
      for (const StandOption& option : stand.options) {
        if (option.id != 0 && option.day == static_cast<std::uint32_t>(now.day) && (option.hh & mask).any() &&
            option.airline == aircraft.airline && !option.callsign2.empty() &&
            (option.callsign == callsign || option.callsign2 == callsign)) {
          aircraft.optCallsign = option.callsign;
          aircraft.cplCallsign = option.callsign2;
          return;
        }
      }
    }
  } catch (const std::exception& error) {
    gf_logFlagged(fmt::format("{}: {}", "lf_searchForCoupledCsAroundThisTime", error.what()));
  }
}

}  // namespace cvl
