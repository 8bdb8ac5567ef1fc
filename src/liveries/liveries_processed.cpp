#include "liveries/liveries_processed.h"

namespace cvl {

std::atomic<bool> liveriesProcessed{false};

}  // namespace cvl
