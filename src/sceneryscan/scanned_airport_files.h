#pragma once

#include "parking/apf_data.h"

// The airport files the add-on scan generates from the stands of a BGL file, for airports the maker's archive does not
// hold: <ICAO>.xml in airports/my_simaddon (the simulator maker's airports) or airports/my_thirdparty.
namespace cvl {

// Writes the airport's generated file, a full airport file with its stands sorted by id; nothing for an airport
// without stands. A failure to create the folder throws a filesystem error; a failed write goes to the scan log.
void lf_generatePositionsFile(ApfData& apf);

}  // namespace cvl
