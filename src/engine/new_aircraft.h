#pragma once

#include "trafficin/traffic_item.h"

// A traffic item for an unknown hexid becomes a new live aircraft in state buffer and phase birth, when its type is
// known and accepted and it is not first seen on the ground of the park airport. Worker thread.
namespace cvl {

// The item's texts move into the new record.
void lf_createLiveAcIfTyped(TrafficItem& item);
// Appends the new record to liveAcs.
void lf_newLiveAc(TrafficItem& item);

}  // namespace cvl
