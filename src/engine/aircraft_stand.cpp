#include "engine/aircraft_stand.h"

namespace cvl {

void gf_assignStand(StaticAc& aircraft, const ParkPos& stand) {
  aircraft.standLat = stand.latitude;
  aircraft.standLon = stand.longitude;
  aircraft.standHeading = stand.heading;
  aircraft.standId = stand.sid;
  aircraft.standCargo = stand.cargo;
}

void gf_forgetStand(StaticAc& aircraft) {
  aircraft.standLat = 0.0;
  aircraft.standLon = 0.0;
  aircraft.standHeading = 0.0;
  aircraft.standId = 0;
  aircraft.standCargo = false;
}

}  // namespace cvl
