#pragma once

#include <vector>

#include "foundation/half_hours.h"

// Stepping through the week by half hours, as the stand occupations count time: before Monday's first half hour comes
// Sunday's last one.
namespace cvl {

// The week time `count` half hours (0 up to a week) before the given one.
WeekTime gf_halfHoursBefore(const WeekTime& time, int count);
// The half hour after the given one.
WeekTime gf_nextHalfHour(const WeekTime& time);

// The half-hour numbers of time, time - 1, ..., time - (count - 1): the last `count` half hours, latest first.
std::vector<int> lf_lastHalfHours(const WeekTime& time, int count);
// Appends those half-hour numbers to the list.
void lf_collectHalfHoursBack(std::vector<int>& slots, int count, WeekTime time);

}  // namespace cvl
