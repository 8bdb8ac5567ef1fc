#include "parking/park_airport_state.h"

#include "app/main_window.h"
#include "app/run_loop.h"
#include "engine/aircraft_lists.h"

namespace cvl {

std::atomic<bool> parkAirportActive{false};
std::atomic<std::int32_t> rtTrafficWeek{0};

std::uint64_t gf_countStaticParked(bool withAverage) {
  const WeekTime now = WeekTime::unpacked(weekTimeNow);
  std::uint64_t count = 0;
  std::int64_t parkedSlots = 0;
  for (const StaticAc& aircraft : staticAcs) {
    if (aircraft.state == AcState::active || aircraft.state == AcState::removingfromsim) {
      ++count;
      // Counted back from now, across the week's end when the aircraft was parked before it.
      parkedSlots += gf_weekSlotsBetween(aircraft.parkedSince, now);
    }
  }
  if (withAverage && !mainWindow.staticWeekMark) {
    const float hours = count == 0 ? 0.0F : static_cast<float>(parkedSlots) / (2.0F * static_cast<float>(count)) + 0.5F;
    // A NaN on either side counts as a change.
    if (!(mainWindow.staticAverageFit.load() == hours)) {
      mainWindow.staticAverageFit = hours;
      gf_invalidateBand(rcStaticParking);
    }
  }
  return count;
}

}  // namespace cvl
