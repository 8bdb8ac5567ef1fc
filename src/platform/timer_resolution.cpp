#include "platform/timer_resolution.h"

namespace cvl::platform {

void beginTimerPeriod(unsigned) {}

void endTimerPeriod(unsigned) {}

}  // namespace cvl::platform
