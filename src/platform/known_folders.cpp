#include "platform/known_folders.h"

#include <cstdlib>
#include <string_view>

namespace cvl::platform {
namespace {

std::filesystem::path lf_environmentPath(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') {
    return {};
  }
  std::filesystem::path path{value};
  // The XDG rules ignore relative values: they would depend on the current folder.
  return path.is_absolute() ? path : std::filesystem::path{};
}

std::filesystem::path lf_xdgFolder(const char* variable, std::string_view homeRelative) {
  if (auto path = lf_environmentPath(variable); !path.empty()) {
    return path;
  }
  if (auto home = lf_environmentPath("HOME"); !home.empty()) {
    return home / homeRelative;
  }
  return {};
}

}  // namespace

std::filesystem::path roamingAppDataFolder() { return lf_xdgFolder("XDG_CONFIG_HOME", ".config"); }

std::filesystem::path localAppDataFolder() { return lf_xdgFolder("XDG_DATA_HOME", ".local/share"); }

std::filesystem::path programFilesFolder() {
  if (auto path = lf_environmentPath("CORVALEN_PROGRAM_FILES"); !path.empty()) {
    return path;
  }
  return "/opt";
}

}  // namespace cvl::platform
