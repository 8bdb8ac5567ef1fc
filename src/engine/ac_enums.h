#pragma once

#include <cstdint>
#include <string_view>

#include "engine/ac_category.h"

// Where an aircraft stands towards the simulator (its state) and in its flight (its phase), and the names of these
// values and of the categories in log lines.
namespace cvl {

enum class AcState : std::uint32_t {
  buffer = 0,           // known, not yet in the simulator
  adding2sim = 1,       // creation queued
  active = 2,           // in the simulator
  liveryrespawn = 3,    // being removed to be created again with another livery
  removingfromsim = 4,  // removal queued
};

enum class AcPhase : std::uint32_t {
  pushing_back = 0,
  pushed_back = 1,
  taxi = 2,
  take_off = 3,
  flying = 4,
  parking = 5,
  parked = 6,
  birth = 7,
};

// The value's name ("Light", "adding2sim", "pushing_back", ...). A value without a name throws std::out_of_range.
std::string_view categoryName(AcCategory category);
std::string_view stateName(AcState state);
std::string_view phaseName(AcPhase phase);

}  // namespace cvl
