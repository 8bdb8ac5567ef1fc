#pragma once

#include <deque>

#include "simlink/create_request.h"

// Creations the engine has prepared and not yet handed to the simulator link's send queue.
namespace cvl {

extern std::deque<CreateRequest> liveCreateBacklog;
extern std::deque<CreateRequest> staticCreateBacklog;

}  // namespace cvl
