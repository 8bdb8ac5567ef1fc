#pragma once

#include <filesystem>

namespace cvl::test {

// The source tree's sample data (data/sample), as an absolute path: tests change their current folder.
std::filesystem::path sampleDataFolder();

}  // namespace cvl::test
