#include "simemu/letter_case.h"

#include <algorithm>
#include <cctype>

namespace cvl::simemu {
namespace {

template <class Change>
std::string changed(std::string_view text, Change change) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(),
                 [change](unsigned char c) { return static_cast<char>(change(c)); });
  return result;
}

}  // namespace

std::string upperCase(std::string_view text) {
  return changed(text, [](int c) { return std::toupper(c); });
}
std::string lowerCase(std::string_view text) {
  return changed(text, [](int c) { return std::tolower(c); });
}

}  // namespace cvl::simemu
