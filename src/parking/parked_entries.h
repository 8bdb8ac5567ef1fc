#pragma once

#include <cstdint>
#include <vector>

// Stands chosen for static aircraft and not yet filled; the engine's queue feeder turns the last one into a static
// aircraft on a free creation beat.
namespace cvl {

struct ParkedEntry {
  std::uint32_t sid = 0;  // the stand
};

extern std::vector<ParkedEntry> parkedEntries;

}  // namespace cvl
