#include "refdata/update_leftovers.h"

#include <fmt/format.h>

#include <filesystem>
#include <regex>
#include <system_error>
#include <vector>

#include "foundation/constants.h"
#include "foundation/log.h"
#include "refdata/decryption.h"
#include "refdata/simaddon_update.h"

namespace cvl {
namespace {

// A download's temporary file "<target>.<n>.download", the plain file of its content check "<target>.<n>.download.xml",
// and the plain file of the check of a data file already installed, "<name>.enc.xml".
bool lf_isLeftover(const std::filesystem::path& file) {
  static const std::regex leftover{R"(.+\.[0-9]+\.download(\.xml)?|.+\.enc\.xml)"};
  return std::regex_match(file.filename().string(), leftover);
}

void lf_removeLeftoversIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> leftovers;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file(error) && lf_isLeftover(entry.path())) {
      leftovers.push_back(entry.path().lexically_normal());
    }
  }
  for (const auto& leftover : leftovers) {
    gf_log(fmt::format("Removing {}, left by an interrupted update", leftover.string()));
    gf_removeFile(leftover);
  }
}

}  // namespace

void gf_removeUpdateLeftovers() {
  lf_removeLeftoversIn(".");
  lf_removeLeftoversIn(inputFolder);
  gf_settleMySimAddonFolder();
}

}  // namespace cvl
