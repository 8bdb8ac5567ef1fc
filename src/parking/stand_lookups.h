#pragma once

#include <string>
#include <vector>

#include "engine/ac_identity.h"
#include "foundation/geometry.h"
#include "parking/park_pos.h"

// Finding stands of the park airport by position. Until airport files are read there are no stands, so nothing is
// found.
namespace cvl {

// The name of the nearest stand within 55 m of the position; empty when none.
std::string gf_standNameAt(const LatLon& position);
// The best free stand within the radius (nm) for the aircraft; end() when none.
std::vector<ParkPos>::iterator lf_findStandNear(const LatLon& position, const AcIdentity& aircraft, double radius,
                                                bool alsoLearned);

}  // namespace cvl
