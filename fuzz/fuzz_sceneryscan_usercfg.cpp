// Arbitrary bytes as the simulator's UserCfg.opt, read with its detected encoding: the packages path found is the
// text between two double quotes and never holds one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/text_files.h"
#include "fuzz_support.h"
#include "sceneryscan/install_detection.h"

using cvl::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cvl::fuzz::writeWholeFile("UserCfg.opt", cvl::fuzz::asText(data, size));
  std::vector<std::string> lines;
  cvl::gf_readTextFile(cvl::gf_detectCharset("UserCfg.opt"), "UserCfg.opt", lines);
  const auto packages = cvl::lf_installedPackagesPath(lines);
  check(packages.find('"') == std::string::npos);
  return 0;
}
