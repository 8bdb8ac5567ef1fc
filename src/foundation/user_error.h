#pragma once

#include <stdexcept>
#include <string_view>

namespace cvl {

// An error the user must act on (a wrong simulator, a missing folder, a broken data file). Catch sites tell it from
// other errors by its type and show its text. The message is the text alone for number 99, else "number: text".
class UserErrorException : public std::runtime_error {
 public:
  UserErrorException(int number, std::string_view text);
};

}  // namespace cvl
