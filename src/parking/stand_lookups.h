#pragma once

#include <string>
#include <vector>

#include "engine/ac_identity.h"
#include "foundation/geometry.h"
#include "parking/park_pos.h"

// Finding stands of the park airport by position: the stand under the user aircraft, and the stand a live aircraft
// parks at.
//
// The stands belong to the worker thread; the SimClient thread asks for the stand under the user with every position
// reply. So gf_standNameAt reads a copy of the stands' names and positions that the worker publishes whenever it has
// read or cleared the stands.
namespace cvl {

// Nautical miles: how far from a stand's centre gf_standNameAt names it, and the wide and narrow search radius of
// lf_findStandNear.
inline constexpr double standNameReachNm = 0.029697624190064796;  // 55 m
inline constexpr double wideStandSearchNm = standNameReachNm;
inline constexpr double narrowStandSearchNm = 0.010799136069114472;  // 20 m

// The name of the nearest stand within 55 m of the position; empty when none, with no stands, or while the user
// aircraft is not on the ground. Any thread.
std::string gf_standNameAt(const LatLon& position);
// Publishes the stands' names and positions for gf_standNameAt; the worker calls it after changing the stand list.
void gf_publishStandPlaces();
// Publishes them again when the stand list is no longer the one last published (it was emptied or read elsewhere).
void gf_publishStandPlacesIfChanged();

// The nearest stand within `radius` (nm) without the make-way mark where the aircraft fits (its half span at most
// 1.8 m more than the stand's radius), or, within 20 m, one where it does not fit (that stand is then enlarged to the
// aircraft and the change counted for the learned file). With `alsoLearned` and no such stand, the nearest fitting
// stand within 85 m with a learned option of the aircraft's callsign (or airline and type). Helipads are for
// rotorcraft only, and rotorcraft for helipads only. parkPositions.end() when none. Worker thread.
std::vector<ParkPos>::iterator lf_findStandNear(const LatLon& position, const AcIdentity& aircraft, double radius,
                                                bool alsoLearned);

}  // namespace cvl
