#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// The program's random choices. Every thread draws from its own engine, so nothing here needs a lock. The RANDOM
// setting turns the choices off (the first candidate is taken, lists keep their order); the variations stay random.
namespace cvl {

// Each thread's own engine, seeded once from the system's random device before its first use in that thread.
extern thread_local std::mt19937 randomEngine;

// An index from 0 to n - 1: the next draw modulo n. 0, without a draw, while RANDOM is off or n is below 2.
std::int64_t gf_randomBelow(std::int64_t n);

// A uniform shuffle while RANDOM is on; otherwise the list keeps its order.
void gf_shuffle(std::vector<std::string>& list);

// value plus or minus value * percent / 100, the sign from the lowest bit of the next draw (0 plus, 1 minus). A percent
// of 0 or less gives the value, but still draws.
double gf_randomVariation(double value, double percent);

// Test hook: restarts the calling thread's engine from a known seed.
void gf_reseedRandomEngine(std::uint32_t seed);

}  // namespace cvl
