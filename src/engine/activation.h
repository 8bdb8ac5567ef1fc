#pragma once

// Matched creations become active aircraft after 200 ticks (2 s); a live one has its lights toggled at 50 and 100
// ticks first. Worker thread.
namespace cvl {

// Ages every entry of createdObjects and activates those that reached 200 ticks. An entry whose record has gone
// meanwhile is dropped.
void lf_onAcInSim();

}  // namespace cvl
