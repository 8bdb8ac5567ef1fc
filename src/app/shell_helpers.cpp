#include "app/shell_helpers.h"

#include "foundation/constants.h"
#include "foundation/log.h"
#include "platform/elevation.h"
#include "platform/known_folders.h"
#include "platform/shell_open.h"
#include "platform/ui/message_box.h"
#include "platform/ui/window.h"

namespace cvl {
namespace {

std::filesystem::path lf_knownFolderOrLog(KnownFolder id, std::string_view failure) {
  if (auto path = gf_knownFolderPath(id)) {
    return *path;
  }
  gf_logFlagged(failure);
  return {};
}

}  // namespace

std::optional<std::filesystem::path> gf_knownFolderPath(KnownFolder id) {
  std::filesystem::path path;
  switch (id) {
    case KnownFolder::roamingAppData:
      path = platform::roamingAppDataFolder();
      break;
    case KnownFolder::localAppData:
      path = platform::localAppDataFolder();
      break;
    case KnownFolder::programFiles:
      path = platform::programFilesFolder();
      break;
    case KnownFolder::programFilesX86:
      break;
  }
  if (path.empty()) {
    return std::nullopt;
  }
  return path;
}

std::filesystem::path gf_appDataPath() {
  return lf_knownFolderOrLog(KnownFolder::roamingAppData, "Could not find the AppData path");
}

std::filesystem::path gf_localAppDataPath() {
  return lf_knownFolderOrLog(KnownFolder::localAppData, "Could not find the Local AppData path");
}

bool gf_openWithShell(const std::filesystem::path& path) {
  return platform::openWithDesktop(path);
}

bool gf_openOrTell(const std::filesystem::path& path, std::string_view failure) {
  if (ui::onUiThread()) {
    // The opener may take its time: the window goes on, and its failure is told when it comes.
    if (platform::startOpeningWithDesktop(path, [failure = std::string{failure}] { ui::showMessageBox(failure); })) {
      return true;
    }
  } else if (gf_openWithShell(path)) {
    return true;
  }
  ui::showMessageBox(failure);
  return false;
}

std::string gf_newVersionNotice(const std::filesystem::path& programFolder) {
  bool underProgramFiles = false;
  for (const auto id : {KnownFolder::programFiles, KnownFolder::programFilesX86}) {
    if (const auto root = gf_knownFolderPath(id); root && programFolder.native().starts_with(root->native())) {
      underProgramFiles = true;
    }
  }
  if (underProgramFiles && !platform::canWriteIn(programFolder) && !platform::isElevated()) {
    return "A new version is available. Run the installer as Administrator";
  }
  return "A new version is available.\nThe installer can be executed normally (no Administrator rights required).";
}

bool gf_openParametersFolder() {
  return gf_openOrTell(parametersPath(), "Could not open folder with parameters.xml");
}

bool gf_openManual() {
  return gf_openOrTell(std::filesystem::current_path() / docsFolder / "Manual.pdf",
                       "Could not open local folder with Manual");
}

}  // namespace cvl
