#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace cvl::simemu {

// The titles of a text file, one a line, without surrounding white space; empty lines and lines starting with '#'
// are skipped. Throws std::runtime_error when the file cannot be read.
std::set<std::string> loadTitleList(const std::filesystem::path& file);

}  // namespace cvl::simemu
