#pragma once

#include <filesystem>

#include "simemu/sim_emulator.h"

namespace cvl::simemu {

// Runs the emulator until the quit command, SIGINT or SIGTERM: about 30 frames a second, the state file once a
// second (and once more at the end), and the commands of standard input as their lines come. The end of standard
// input is not a quit, so simemu can run with its input closed.
void runUntilQuit(SimEmulator& emulator, const std::filesystem::path& stateFile);

}  // namespace cvl::simemu
