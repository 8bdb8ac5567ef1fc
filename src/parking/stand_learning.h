#pragma once

#include "engine/ac_identity.h"
#include "foundation/half_hours.h"

// What the stands' learned occupations tell about live aircraft. Worker thread.
namespace cvl {

// Looks through the learned options of today around now (10 half hours either side, 14 for a Heavy) for an option of
// the aircraft's airline that has a second callsign and either callsign equal to the aircraft's; the first one found
// gives the aircraft its option callsign and coupled callsign (its arriving and departing flight).
void lf_searchForCoupledCsAroundThisTime(const WeekTime& now, AcIdentity& aircraft);

}  // namespace cvl
