#pragma once

#include <string>

#include "foundation/geometry.h"
#include "refdata/airports_database.h"

namespace cvl {

// The great-circle distance in nautical miles from the position to the nearest stand of the airport's airport file,
// writing that stand's id; 100.0 (and no id) when no file is found, it does not load, or no stand is nearer. A file
// from the site that cannot be fetched counts as 100.0 until its next try (airport_file_retry.h). Never throws.
double gf_readDestApfForClosestStand(const Airport& airport, const LatLon& position, std::string& standId);

}  // namespace cvl
