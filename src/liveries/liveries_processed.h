#pragma once

#include <atomic>

// Whether the livery tables of this process are built. Clearing it (a simulator switch, a new livery scan) asks the
// next start-up to empty the tables and build them again; the tables themselves are only touched on the worker
// thread, never while aircraft are matched against them.
namespace cvl {

extern std::atomic<bool> liveriesProcessed;

}  // namespace cvl
