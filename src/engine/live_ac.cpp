#include "engine/live_ac.h"

#include "engine/tick_count.h"

namespace cvl {

LiveAc::LiveAc(AcIdentity& identity, const TimedPosition& first, double itemTime)
    : StaticAc(identity, 0, StandPlace{}, false), stream{first}, lastItemTime(itemTime), lastItemTick(tickCount) {}

}  // namespace cvl
