#include "foundation/user_error.h"

#include <fmt/format.h>

namespace cvl {
namespace {

constexpr int textOnlyNumber = 99;

std::string messageOf(int number, std::string_view text) {
  return number == textOnlyNumber ? std::string(text) : fmt::format("{}: {}", number, text);
}

}  // namespace

UserErrorException::UserErrorException(int number, std::string_view text)
    : std::runtime_error(messageOf(number, text)) {}

}  // namespace cvl
