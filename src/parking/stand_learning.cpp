#include "parking/stand_learning.h"

namespace cvl {

// Nothing is learned yet, so no flight has a coupled callsign.
void lf_searchForCoupledCsAroundThisTime(const WeekTime& /*now*/, AcIdentity& /*aircraft*/) {}

}  // namespace cvl
