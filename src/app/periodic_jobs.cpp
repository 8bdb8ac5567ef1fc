#include "app/periodic_jobs.h"

namespace cvl {

std::atomic<std::int32_t> tickSeconds{0};
std::atomic<bool> staticUpdateRequested{false};

void lf_autoRange() {}

}  // namespace cvl
