#include "sceneryscan/folders_before_scan.h"

#include <system_error>
#include <vector>

#include "foundation/constants.h"
#include "sceneryscan/file_status.h"

namespace cvl {
namespace {

namespace fs = std::filesystem;

// While this folder exists it holds the folder's files as they were before the scan, all of them.
fs::path lf_setAsidePath(const fs::path& folder) {
  return folder.parent_path() / (folder.filename().string() + "_before_scan");
}

// A copy that is not whole: one being made, or one being let go. It takes the set-aside name only once it is whole,
// and gives it up before it is removed, so a kill at any moment leaves either a whole copy or none.
fs::path lf_unfinishedPath(const fs::path& folder) {
  return folder.parent_path() / (folder.filename().string() + "_before_scan.unfinished");
}

// The folder's own files (links to files included), not the folders in it.
std::vector<fs::path> lf_filesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::error_code unreadable;  // a link that leads nowhere is no file
    if (entry.is_regular_file(unreadable)) {
      files.push_back(entry.path());
    }
  }
  return files;
}

void lf_copyFiles(const fs::path& from, const fs::path& to) {
  for (const auto& file : lf_filesIn(from)) {
    fs::copy(file, to / file.filename(), fs::copy_options::copy_symlinks | fs::copy_options::overwrite_existing);
  }
}

void lf_removeFiles(const fs::path& folder) {
  for (const auto& file : lf_filesIn(folder)) {
    fs::remove(file);
  }
}

void lf_removeUnfinished(const fs::path& folder) {
  fs::remove_all(lf_unfinishedPath(folder));
}

// An older version set the whole folder aside: the folder itself with the folders the user keeps in it, or the link
// it was. A copy made here holds neither, and is no link.
bool lf_isWholeFolder(const fs::path& setAside) {
  const auto status = fs::symlink_status(setAside);
  if (fs::is_symlink(status)) {
    return true;
  }
  if (!fs::is_directory(status)) {
    return false;
  }
  for (const auto& entry : fs::directory_iterator(setAside)) {
    std::error_code unreadable;  // a link that leads nowhere is no folder
    if (entry.is_directory(unreadable)) {
      return true;
    }
  }
  return false;
}

}  // namespace

void gf_setFolderAside(const fs::path& folder) {
  gf_createFolder(folder);
  const auto setAside = lf_setAsidePath(folder);
  if (!gf_pathExists(setAside)) {
    lf_removeUnfinished(folder);
    const auto copy = lf_unfinishedPath(folder);
    gf_createFolder(copy);
    lf_copyFiles(folder, copy);
    fs::rename(copy, setAside);
  }
  lf_removeFiles(folder);
}

void gf_restoreFolder(const fs::path& folder) {
  const auto setAside = lf_setAsidePath(folder);
  if (lf_isWholeFolder(setAside)) {
    // Killed between the two steps, the copy is still there and the next start takes them again.
    fs::remove_all(folder);
    fs::rename(setAside, folder);
    return;
  }
  if (!gf_pathExists(setAside)) {
    return;
  }
  gf_createFolder(folder);
  lf_removeFiles(folder);
  lf_copyFiles(setAside, folder);
  gf_letGoOfSetAside(folder);
}

void gf_letGoOfSetAside(const fs::path& folder) {
  const auto setAside = lf_setAsidePath(folder);
  if (!gf_pathExists(setAside)) {
    return;
  }
  lf_removeUnfinished(folder);
  fs::rename(setAside, lf_unfinishedPath(folder));
  lf_removeUnfinished(folder);
}

void gf_giveBackFoldersSetAside() {
  for (const auto* folder : {&mySimAddonFolder, &myThirdPartyFolder}) {
    lf_removeUnfinished(*folder);
    gf_restoreFolder(*folder);
  }
}

}  // namespace cvl
