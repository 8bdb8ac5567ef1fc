#pragma once

#include <cstdint>

#include "engine/aircraft_lists.h"

// Finding aircraft records: the first one in vector order, as the rules that name "the aircraft with" expect.
namespace cvl {

LiveAc* gf_findLiveAcByHexid(std::uint32_t hexid);
// Object id 0 names no aircraft in the simulator, so it finds nothing.
LiveAc* gf_findLiveAcByObjectId(std::uint32_t objectId);
StaticAc* gf_findStaticAcByHexid(std::uint32_t hexid);

}  // namespace cvl
