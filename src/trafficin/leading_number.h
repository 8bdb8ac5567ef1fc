#pragma once

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace cvl {

// The decimal number at the start of a field of the traffic service: no leading blank or '+', text after it ignored.
// Nothing when the field does not start with one, when it does not fit the type, or when it is infinite or NaN.
template <typename Number>
std::optional<Number> gf_leadingNumber(std::string_view text) {
  Number number{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc{}) {
    return std::nullopt;
  }
  if constexpr (std::is_floating_point_v<Number>) {
    if (!std::isfinite(number)) {
      return std::nullopt;
    }
  }
  return number;
}

}  // namespace cvl
