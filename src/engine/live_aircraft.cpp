#include "engine/live_aircraft.h"

#include "app/main_window.h"
#include "app/run_loop.h"

namespace cvl {

namespace {

// Hours, shown on the main window, that the parked live aircraft have stood on average: counted in half-hour slots of
// the week, wrapping over the week's end, plus half an hour for the slot they are in.
float lf_averageParkedHours(std::uint64_t slotSum, std::uint64_t count) {
  if (count == 0) {
    return 0.0F;
  }
  return static_cast<float>(static_cast<double>(slotSum) / (2.0 * static_cast<double>(count)) + 0.5);
}

bool lf_isWeekTime(const WeekTime& time) {
  return time.day >= 1 && time.day <= 7 && time.halfHour >= 0 && time.halfHour < halfHoursPerDay;
}

}  // namespace

std::uint64_t gf_countLiveParked(bool withAverage) {
  const WeekTime now = WeekTime::unpacked(weekTimeNow);
  std::uint64_t count = 0;
  std::uint64_t slotSum = 0;
  for (const LiveAc& aircraft : liveAcs) {
    if (aircraft.state == AcState::active && aircraft.phase == AcPhase::parked) {
      ++count;
      if (lf_isWeekTime(aircraft.parkedSince) && lf_isWeekTime(now)) {
        slotSum += static_cast<std::uint64_t>(gf_weekSlotsBetween(aircraft.parkedSince, now));
      }
    }
  }
  if (withAverage) {
    const float average = lf_averageParkedHours(slotSum, count);
    if (mainWindow.liveAverageFit.exchange(average) != average) {
      gf_invalidateBand(rcStaticParking);
    }
  }
  return count;
}

}  // namespace cvl
