#include "support/sample_data.h"

namespace cvl::test {

std::filesystem::path sampleDataFolder() {
  return CORVALEN_SAMPLE_DATA_DIR;
}

}  // namespace cvl::test
