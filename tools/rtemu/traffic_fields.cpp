#include "rtemu/traffic_fields.h"

namespace cvl::rtemu {

std::optional<FieldSpan> fieldSpan(std::string_view line, std::size_t index) {
  std::size_t begin = 0;
  for (std::size_t field = 0; field < index; ++field) {
    begin = line.find(',', begin);
    if (begin == std::string_view::npos) {
      return std::nullopt;
    }
    ++begin;
  }
  const std::size_t end = line.find(',', begin);
  return FieldSpan{begin, (end == std::string_view::npos ? line.size() : end) - begin};
}

}  // namespace cvl::rtemu
