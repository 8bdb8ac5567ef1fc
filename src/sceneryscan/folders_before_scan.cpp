#include "sceneryscan/folders_before_scan.h"

#include "foundation/files.h"
#include "sceneryscan/file_status.h"

namespace cvl {
namespace {

std::filesystem::path lf_setAsidePath(const std::filesystem::path& folder) {
  return folder.parent_path() / (folder.filename().string() + "_before_scan");
}

}  // namespace

void gf_setFolderAside(const std::filesystem::path& folder) {
  const auto setAside = lf_setAsidePath(folder);
  if (gf_pathExists(setAside)) {
    gf_removeFilesFromDirectory(folder);
  } else if (gf_pathExists(folder)) {
    std::filesystem::rename(folder, setAside);
  } else {
    gf_createFolder(setAside);
  }
  gf_createFolder(folder);
}

void gf_restoreFolder(const std::filesystem::path& folder) {
  const auto setAside = lf_setAsidePath(folder);
  if (!gf_pathExists(setAside)) {
    return;
  }
  std::filesystem::remove_all(folder);
  std::filesystem::rename(setAside, folder);
}

void gf_letGoOfSetAside(const std::filesystem::path& folder) {
  std::filesystem::remove_all(lf_setAsidePath(folder));
}

}  // namespace cvl
