#include "engine/live_ac.h"

namespace cvl {

LiveAc::LiveAc(AcIdentity& identity, const TimedPosition& first, double itemTime)
    : StaticAc(identity, 0, StandPlace{}, false), stream{first}, lastItemTime(itemTime) {}

}  // namespace cvl
