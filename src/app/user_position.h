#pragma once

#include "simlink/user_ac_data.h"

// The run controller's copy of the user aircraft's data.
namespace cvl {

// Refreshed by the run loop from the simulator link; the position sent to the traffic service and the centre of the
// traffic range. Worker thread.
extern UserAcData userPosition;

}  // namespace cvl
