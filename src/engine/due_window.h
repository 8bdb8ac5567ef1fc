#pragma once

#include "engine/live_ac.h"

// The window around a reported due tick within which the engine may reschedule it.
namespace cvl {

// The wide window of reports played as they come after a pause: 3000 ticks either way, 5000 ahead while the take-off
// roll runs ahead of the reports.
inline void lf_widenDueWindow(LiveAc& aircraft) {
  aircraft.dueAhead = aircraft.takeOffRoll ? 5000 : 3000;
  aircraft.dueBehind = 3000;
}

}  // namespace cvl
