#include "engine/aircraft_lists.h"

namespace cvl {

std::vector<StaticAc> staticAcs;
std::vector<LiveAc> liveAcs;

}  // namespace cvl
