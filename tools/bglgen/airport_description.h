#pragma once

#include <string_view>
#include <vector>

#include "bglgen/bgl_writer.h"

// The JSON description of a sample scenery file:
//   {"airports": [{"ident": "EDDF", "elevationFeet": 364,
//                  "helipads": [{"lat": 50.03, "lon": 8.57, "width": 20}],
//                  "parkings": [{"kind": 10, "number": 1, "type": 8, "radius": 24, "heading": 250,
//                                "lat": 50.05, "lon": 8.58}]}]}
// Missing parking fields take the defaults of bglgen::Parking. Throws std::runtime_error for a description it cannot
// read.
namespace cvl::bglgen {

std::vector<Airport> readAirportDescription(std::string_view json);

}  // namespace cvl::bglgen
