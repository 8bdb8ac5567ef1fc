#pragma once

#include <filesystem>

namespace cvl::test {

// The source tree's sample data (data/sample), by its absolute path: the tests change the current folder.
inline std::filesystem::path sampleDataFolder() {
  return CORVALEN_SAMPLE_DATA_DIR;
}

}  // namespace cvl::test
