#pragma once

#include "engine/ac_identity.h"
#include "foundation/half_hours.h"

// What the stands' learned occupations tell about live aircraft.
namespace cvl {

// Looks in the learned occupations near this time for the aircraft's callsign and takes over the second callsign of
// the flight it belongs to.
void lf_searchForCoupledCsAroundThisTime(const WeekTime& now, AcIdentity& aircraft);

}  // namespace cvl
