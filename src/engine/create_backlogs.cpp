#include "engine/create_backlogs.h"

namespace cvl {

std::deque<CreateRequest> liveCreateBacklog;
std::deque<CreateRequest> staticCreateBacklog;

}  // namespace cvl
