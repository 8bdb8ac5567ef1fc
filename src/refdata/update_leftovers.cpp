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

using LeftoverTest = bool (*)(const std::filesystem::path&);

// A download's temporary file "<target>.<n>.download", the plain file of its content check "<target>.<n>.download.xml",
// and the plain file of the check of a data file already installed, "<name>.enc.xml".
bool lf_isLeftover(const std::filesystem::path& file) {
  static const std::regex leftover{R"(.+\.[0-9]+\.download(\.xml)?|.+\.enc\.xml)"};
  return std::regex_match(file.filename().string(), leftover);
}

// In the program folder also the zips that the simaddon update and the self-update remove once they are unpacked.
bool lf_isProgramFolderLeftover(const std::filesystem::path& file) {
  static const std::regex installerZip{fmt::format(R"(setup_{}_d_v[0-9]+\.[0-9]+\.[0-9]+\.zip)", programName)};
  return lf_isLeftover(file) || file.filename() == simAddonZipPath ||
         std::regex_match(file.filename().string(), installerZip);
}

void lf_removeLeftoversIn(const std::filesystem::path& folder, LeftoverTest isLeftover) {
  std::vector<std::filesystem::path> leftovers;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file(error) && isLeftover(entry.path())) {
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
  lf_removeLeftoversIn(".", lf_isProgramFolderLeftover);
  lf_removeLeftoversIn(inputFolder, lf_isLeftover);
  gf_settleMySimAddonFolder();
}

}  // namespace cvl
