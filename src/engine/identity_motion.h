#pragma once

#include "engine/ac_identity.h"
#include "engine/motion_tables.h"

// The motion values an aircraft moves by: its identity's, filled when the engine creates a live aircraft, else its
// category's.
namespace cvl {

// Knots on the way to and from a stand.
inline double gf_taxiSpeedOf(const AcIdentity& aircraft) {
  return aircraft.standTaxiSpeed > 0.0 ? aircraft.standTaxiSpeed : gf_standTaxiSpeed(aircraft.category);
}

// Feet per tick of climb at most.
inline double gf_climbStepOf(const AcIdentity& aircraft) {
  return aircraft.maxClimbStep > 0.0 ? aircraft.maxClimbStep : gf_maxClimbStep(aircraft.category);
}

// The ground turn (radians per tick) the aircraft turns at now.
inline double gf_turnStepNowOf(const AcIdentity& aircraft) {
  return aircraft.turnStepNow > 0.0 ? aircraft.turnStepNow : aircraft.turnStep;
}

}  // namespace cvl
