#pragma once

#include <optional>
#include <string_view>

// The units a datum may be asked in. Each has a dimension and its size in that dimension's base unit (radians,
// metres, metres per second, fraction, plain number, seconds), so a value converts between any two units of one
// dimension.
namespace cvl::simemu {

enum class Dimension { angle, length, speed, fraction, number, time, text };

struct Unit {
  Dimension dimension = Dimension::number;
  double inBase = 1;
};

// Case does not count. An empty name and "none" are the unit of texts. nullopt for an unknown name.
std::optional<Unit> findUnit(std::string_view name);

inline double convert(double value, const Unit& from, const Unit& to) {
  return value * from.inBase / to.inBase;
}

}  // namespace cvl::simemu
