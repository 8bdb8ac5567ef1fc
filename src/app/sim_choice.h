#pragma once

#include <atomic>

#include "foundation/file_meta.h"

// Which simulator the program serves in this run cycle.
namespace cvl {

// Set while the chosen simulator is MSFS 2020 (the SIM_CHOICE setting), clear for MSFS 2024.
extern std::atomic<bool> msfs2020Mode;
// The simulator type the program's XML files record in their meta header. Every start-up sets it to MSFS 2020 for
// both simulators: the files of both share one format.
extern std::atomic<SimType> currentSimType;

}  // namespace cvl
