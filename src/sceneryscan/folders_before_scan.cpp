#include "sceneryscan/folders_before_scan.h"

#include <fmt/format.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "foundation/constants.h"
#include "foundation/log.h"
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

bool lf_sameBytes(const fs::path& one, const fs::path& other) {
  if (fs::file_size(one) != fs::file_size(other)) {
    return false;
  }
  std::ifstream oneStream{one, std::ios::binary};
  std::ifstream otherStream{other, std::ios::binary};
  return oneStream && otherStream &&
         std::equal(std::istreambuf_iterator<char>{oneStream}, std::istreambuf_iterator<char>{},
                    std::istreambuf_iterator<char>{otherStream}, std::istreambuf_iterator<char>{});
}

// Whether the folder's own files are the copy's, name for name and byte for byte: then nothing was taken out of it or
// put into it since the copy was made (the files could not be removed, or a kill came first).
bool lf_holdsTheCopy(const fs::path& folder, const fs::path& copy) {
  const auto copied = lf_filesIn(copy);
  if (lf_filesIn(folder).size() != copied.size()) {
    return false;
  }
  return std::ranges::all_of(copied, [&folder](const fs::path& file) {
    const auto own = folder / file.filename();
    return fs::is_regular_file(own) && lf_sameBytes(own, file);
  });
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
  try {
    lf_removeFiles(folder);
  } catch (const fs::filesystem_error&) {
    // A folder that cannot be written keeps its files: what was taken goes back, and the copy goes.
    try {
      gf_restoreFolder(folder);
    } catch (const fs::filesystem_error&) {
      // The copy stays, and the next start gives it back.
    }
    throw;
  }
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
  if (!lf_holdsTheCopy(folder, setAside)) {
    lf_removeFiles(folder);
    lf_copyFiles(setAside, folder);
  }
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
    try {
      lf_removeUnfinished(*folder);
      gf_restoreFolder(*folder);
    } catch (const fs::filesystem_error& failure) {
      // A folder the user may not write: the start-up goes on with what is in it, and the copy keeps the user's files.
      gf_logFlagged(fmt::format("Could not give back {} to {}: {}; its files stay there",
                                lf_setAsidePath(*folder).string(), folder->string(), failure.code().message()));
    }
  }
}

}  // namespace cvl
