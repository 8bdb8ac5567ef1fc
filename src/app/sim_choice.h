#pragma once

#include <atomic>

namespace cvl {

// Set while the chosen simulator is MSFS 2020 (the SIM_CHOICE setting), clear for MSFS 2024.
extern std::atomic<bool> msfs2020Mode;

}  // namespace cvl
