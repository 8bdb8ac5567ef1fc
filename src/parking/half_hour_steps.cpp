#include "parking/half_hour_steps.h"

namespace cvl {
namespace {

WeekTime lf_weekTimeOfSlot(int weekSlot) {
  const int slot = (weekSlot % halfHoursPerWeek + halfHoursPerWeek) % halfHoursPerWeek;
  return {slot / halfHoursPerDay + 1, slot % halfHoursPerDay};
}

}  // namespace

WeekTime gf_halfHoursBefore(const WeekTime& time, int count) {
  return lf_weekTimeOfSlot(time.weekSlot() - count);
}

WeekTime gf_nextHalfHour(const WeekTime& time) {
  return lf_weekTimeOfSlot(time.weekSlot() + 1);
}

std::vector<int> lf_lastHalfHours(const WeekTime& time, int count) {
  std::vector<int> slots;
  slots.reserve(halfHoursPerDay);
  lf_collectHalfHoursBack(slots, count, time);
  return slots;
}

void lf_collectHalfHoursBack(std::vector<int>& slots, int count, WeekTime time) {
  for (int step = 0; step < count; ++step) {
    slots.push_back(time.halfHour);
    time = gf_halfHoursBefore(time, 1);
  }
}

}  // namespace cvl
