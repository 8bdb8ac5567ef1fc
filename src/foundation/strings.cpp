#include "foundation/strings.h"

#include <fmt/format.h>

#include <algorithm>

#include "app/sim_choice.h"

namespace cvl {
namespace {

constexpr std::string_view lf_whitespace = " \t\n\r";

}  // namespace

std::string gf_trim(std::string_view text) {
  const auto first = text.find_first_not_of(lf_whitespace);
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(lf_whitespace);
  return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> gf_split(std::string_view text, char delimiter) {
  std::vector<std::string> pieces;
  if (text.empty()) {
    return pieces;
  }
  pieces.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), delimiter)) + 1);
  std::size_t start = 0;
  while (true) {
    const auto end = text.find(delimiter, start);
    pieces.push_back(gf_trim(text.substr(start, end - start)));
    if (end == std::string_view::npos) {
      return pieces;
    }
    start = end + 1;
  }
}

std::vector<std::string> gf_splitByComma(std::string_view text) {
  return gf_split(text, ',');
}

std::list<std::string> gf_splitCommaTrimmed(std::string_view text) {
  auto pieces = gf_splitByComma(text);
  std::list<std::string> list(std::make_move_iterator(pieces.begin()), std::make_move_iterator(pieces.end()));
  list.sort();
  list.unique();
  return list;
}

void gf_trimCommaList(std::string& text) {
  if (text.find_first_of(lf_whitespace) == std::string::npos) {
    return;
  }
  text = fmt::format("{}", fmt::join(gf_splitByComma(text), ","));
}

char gf_toUpperChar(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string gf_asciiLower(std::string_view text) {
  std::string lower{text};
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return lower;
}

std::string gf_asciiUpper(std::string_view text) {
  std::string upper{text};
  std::transform(upper.begin(), upper.end(), upper.begin(), gf_toUpperChar);
  return upper;
}

bool gf_equalsUpper(std::string_view expected, std::string_view text) {
  return std::equal(expected.begin(), expected.end(), text.begin(), text.end(),
                    [](char e, char t) { return e == gf_toUpperChar(t); });
}

bool gf_wildcardMatch(std::string_view name, std::string_view pattern) {
  return pattern.size() == name.size() + 1 && pattern.back() == '*' && pattern.starts_with(name);
}

std::string gf_toHex(std::uint32_t objectId) {
  return msfs2020Mode.load() ? fmt::format("{}", objectId) : fmt::format("{:x}", objectId);
}

}  // namespace cvl
