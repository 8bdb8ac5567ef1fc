#include "simemu/units.h"

#include <algorithm>
#include <array>
#include <numbers>

#include "simemu/letter_case.h"

namespace cvl::simemu {
namespace {

struct NamedUnit {
  std::string_view name;
  Unit unit;
};

constexpr double footInMetres = 0.3048;
constexpr double knotInMetresPerSecond = 1852.0 / 3600.0;

constexpr std::array units{
    NamedUnit{"", {Dimension::text, 1}},
    NamedUnit{"none", {Dimension::text, 1}},
    NamedUnit{"degree", {Dimension::angle, std::numbers::pi / 180}},
    NamedUnit{"degrees", {Dimension::angle, std::numbers::pi / 180}},
    NamedUnit{"radian", {Dimension::angle, 1}},
    NamedUnit{"radians", {Dimension::angle, 1}},
    NamedUnit{"foot", {Dimension::length, footInMetres}},
    NamedUnit{"feet", {Dimension::length, footInMetres}},
    NamedUnit{"meter", {Dimension::length, 1}},
    NamedUnit{"meters", {Dimension::length, 1}},
    NamedUnit{"metre", {Dimension::length, 1}},
    NamedUnit{"metres", {Dimension::length, 1}},
    NamedUnit{"knot", {Dimension::speed, knotInMetresPerSecond}},
    NamedUnit{"knots", {Dimension::speed, knotInMetresPerSecond}},
    NamedUnit{"feet per second", {Dimension::speed, footInMetres}},
    NamedUnit{"feet per minute", {Dimension::speed, footInMetres / 60}},
    NamedUnit{"meters per second", {Dimension::speed, 1}},
    NamedUnit{"percent", {Dimension::fraction, 0.01}},
    NamedUnit{"percent over 100", {Dimension::fraction, 1}},
    NamedUnit{"bool", {Dimension::number, 1}},
    NamedUnit{"number", {Dimension::number, 1}},
    NamedUnit{"mask", {Dimension::number, 1}},
    NamedUnit{"enum", {Dimension::number, 1}},
    NamedUnit{"second", {Dimension::time, 1}},
    NamedUnit{"seconds", {Dimension::time, 1}},
};

}  // namespace

std::optional<Unit> findUnit(std::string_view name) {
  const auto lower = lowerCase(name);
  const auto* found = std::find_if(units.begin(), units.end(), [&](const NamedUnit& u) { return u.name == lower; });
  return found != units.end() ? std::optional(found->unit) : std::nullopt;
}

}  // namespace cvl::simemu
