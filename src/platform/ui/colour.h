#pragma once

#include <cstdint>

namespace cvl::ui {

// A colour as red, green and blue, 0 to 255 each.
struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend bool operator==(const Colour&, const Colour&) = default;
};

constexpr Colour rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return Colour{red, green, blue};
}

}  // namespace cvl::ui
