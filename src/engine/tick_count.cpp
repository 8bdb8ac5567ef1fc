#include "engine/tick_count.h"

namespace cvl {

std::atomic<std::int32_t> tickCount{0};

}  // namespace cvl
