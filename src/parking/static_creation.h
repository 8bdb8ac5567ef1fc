#pragma once

// Static parked aircraft are made one at a time from the chosen stands.
namespace cvl {

// Turns the last chosen stand into a static aircraft and queues its creation. No stands are chosen yet, so there is
// nothing to make.
void lf_detcs();

}  // namespace cvl
