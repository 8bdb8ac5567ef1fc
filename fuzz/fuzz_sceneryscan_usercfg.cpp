// Arbitrary bytes as the simulator's UserCfg.opt, read with its detected encoding: the packages path found is the
// text between two double quotes and never holds one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/text_files.h"
#include "sceneryscan/install_detection.h"

namespace {

void check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream file("UserCfg.opt", std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::vector<std::string> lines;
  cvl::gf_readTextFile(cvl::gf_detectCharset("UserCfg.opt"), "UserCfg.opt", lines);
  const auto packages = cvl::lf_installedPackagesPath(lines);
  check(packages.find('"') == std::string::npos);
  return 0;
}
