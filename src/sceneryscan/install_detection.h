#pragma once

#include <filesystem>

// Where the simulator keeps its packages on this computer.
namespace cvl {

// The simulator's packages root found here; empty when none is accepted.
std::filesystem::path gf_installPath();

}  // namespace cvl
