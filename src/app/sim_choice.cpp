#include "app/sim_choice.h"

namespace cvl {

std::atomic<bool> msfs2020Mode{true};

}  // namespace cvl
