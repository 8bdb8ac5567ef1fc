#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "bglgen/airport_description.h"
#include "bglgen/bgl_writer.h"
#include "support/temp_folder.h"

namespace cvl::test {
namespace {

namespace fs = std::filesystem;

// The sample add-on packages hold what bglgen makes of its descriptions: each description's path below the samples
// folder is the scenery file's path below the sample Community folder.
TEST(SampleCommunityTest, TheSampleSceneryFilesAreWhatTheirDescriptionsMake) {
  std::size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(BGLGEN_SAMPLE_DIR)) {
    if (entry.path().extension() != ".json") {
      continue;
    }
    auto scenery = fs::path{SAMPLE_COMMUNITY_DIR} / entry.path().lexically_relative(BGLGEN_SAMPLE_DIR);
    scenery.replace_extension(".bgl");
    const auto airports = bglgen::readAirportDescription(readFile(entry.path()));
    EXPECT_EQ(readFile(scenery), bglgen::airportsFile(airports)) << scenery;
    ++files;
  }
  EXPECT_EQ(files, 2U);
}

}  // namespace
}  // namespace cvl::test
