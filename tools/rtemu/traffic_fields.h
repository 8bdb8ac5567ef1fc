#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// The comma-separated fields of a traffic line, by their number from 0.
namespace cvl::rtemu {

struct FieldSpan {
  std::size_t begin = 0;
  std::size_t length = 0;
};

// Where field `index` lies in the line; nullopt when the line has fewer fields.
std::optional<FieldSpan> fieldSpan(std::string_view line, std::size_t index);

}  // namespace cvl::rtemu
