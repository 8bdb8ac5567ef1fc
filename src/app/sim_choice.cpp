#include "app/sim_choice.h"

namespace cvl {

std::atomic<bool> msfs2020Mode{true};
std::atomic<SimType> currentSimType{SimType::msfs2020};

}  // namespace cvl
