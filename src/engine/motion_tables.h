#pragma once

#include "engine/ac_category.h"

// How aircraft of each category move. Angles are in radians; each table holds all six categories.
namespace cvl {

// Knots at which the aircraft rotates on take-off.
double gf_rotationSpeed(AcCategory category);
// The largest bank, and the largest change of bank and of pitch in one tick.
double gf_maxBank(AcCategory category);
double gf_maxBankChange(AcCategory category);
double gf_maxPitchChange(AcCategory category);
// Feet per tick of climb at most, and the taxi speed (kt) on the way to and from a stand: copied into the identity
// when a live aircraft is created.
double gf_maxClimbStep(AcCategory category);
double gf_standTaxiSpeed(AcCategory category);

}  // namespace cvl
