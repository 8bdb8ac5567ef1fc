#include "simemu/title_list.h"

#include <fmt/core.h>

#include <fstream>
#include <stdexcept>
#include <string_view>

namespace cvl::simemu {
namespace {

std::string_view trimmed(std::string_view text) {
  constexpr std::string_view blanks = " \t\r\n";
  const auto first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

std::set<std::string> loadTitleList(const std::filesystem::path& file) {
  std::ifstream stream(file, std::ios::binary);
  if (!stream) {
    throw std::runtime_error(fmt::format("Title list {}: cannot be read", file.string()));
  }
  std::set<std::string> titles;
  std::string line;
  while (std::getline(stream, line)) {
    const auto title = trimmed(line);
    if (!title.empty() && title.front() != '#') {
      titles.emplace(title);
    }
  }
  return titles;
}

}  // namespace cvl::simemu
