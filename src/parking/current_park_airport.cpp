#include "parking/current_park_airport.h"

namespace cvl {

Airport currentParkAirport;

double gf_parkAirportReferenceAltitude() {
  return currentParkAirport.code.empty() ? -1000.0 : currentParkAirport.alt;
}

}  // namespace cvl
