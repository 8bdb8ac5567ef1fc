#pragma once

#include "refdata/airports_database.h"

// The airport near the user where aircraft are parked. Worker thread.
namespace cvl {

// A copy of the park airport's record, its altitude that of its airport file; an empty code means none.
extern Airport currentParkAirport;

// The park airport's altitude in feet while there is one, else -1000.0 (a value no report is near).
double gf_parkAirportReferenceAltitude();

}  // namespace cvl
