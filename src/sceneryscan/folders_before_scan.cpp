#include "sceneryscan/folders_before_scan.h"

#include <fmt/format.h>

#include <algorithm>
#include <fstream>
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

// The folder's own files, links to files included; a link is copied as the link it is, with its target text, which
// may lead nowhere from the copy. Folders, and links that lead to none or to no file, stay where they are.
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

// A copy holds nothing but what was set aside: all of it but the folders an older version kept there.
std::vector<fs::path> lf_filesOfCopy(const fs::path& copy) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(copy)) {
    if (!fs::is_directory(entry.symlink_status())) {
      files.push_back(entry.path());
    }
  }
  return files;
}

void lf_copyFile(const fs::path& file, const fs::path& to) {
  fs::copy(file, to / file.filename(), fs::copy_options::copy_symlinks | fs::copy_options::overwrite_existing);
}

void lf_copyFiles(const std::vector<fs::path>& files, const fs::path& to) {
  for (const auto& file : files) {
    lf_copyFile(file, to);
  }
}

// A link is copied without reading what it leads to.
bool lf_unreadable(const fs::path& file) {
  return !fs::is_symlink(fs::symlink_status(file)) && !std::ifstream{file, std::ios::binary};
}

// A file the user may not read cannot be set aside, and so neither can its folder: the log names the file, which the
// user can mend.
void lf_copyFileAside(const fs::path& file, const fs::path& copy) {
  try {
    lf_copyFile(file, copy);
  } catch (const fs::filesystem_error& failure) {
    if (lf_unreadable(file)) {
      gf_logFlagged(fmt::format("{} could not be read ({})", file.string(), failure.code().message()));
    }
    throw;
  }
}

// Copies the folder's files into the unfinished copy, which goes again when one of them cannot be copied.
void lf_copyAside(const fs::path& folder) {
  const auto copy = lf_unfinishedPath(folder);
  try {
    gf_createFolder(copy);
    for (const auto& file : lf_filesIn(folder)) {
      lf_copyFileAside(file, copy);
    }
  } catch (const fs::filesystem_error&) {
    std::error_code ignored;
    fs::remove_all(copy, ignored);
    throw;
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
  constexpr std::size_t blockBytes = 64 * 1024;
  std::vector<char> oneBlock(blockBytes);
  std::vector<char> otherBlock(blockBytes);
  while (oneStream && otherStream) {
    oneStream.read(oneBlock.data(), blockBytes);
    otherStream.read(otherBlock.data(), blockBytes);
    if (oneStream.gcount() != otherStream.gcount() ||
        !std::equal(oneBlock.begin(), oneBlock.begin() + oneStream.gcount(), otherBlock.begin())) {
      return false;
    }
  }
  return oneStream.eof() && otherStream.eof();
}

// Whether the folder holds the copied file as it is in the copy: a link by its target text, a file byte for byte.
bool lf_holdsAsCopied(const fs::path& folder, const fs::path& copied) {
  const auto own = folder / copied.filename();
  const auto ownStatus = fs::symlink_status(own);
  if (fs::is_symlink(fs::symlink_status(copied))) {
    return fs::is_symlink(ownStatus) && fs::read_symlink(own) == fs::read_symlink(copied);
  }
  return fs::is_regular_file(ownStatus) && lf_sameBytes(own, copied);
}

// Whatever holds a name of the copy's files goes, unless it is a folder: a link that leads to no file is none of the
// folder's files, yet a kill can leave one there under the name of a link the copy holds (its file was taken out
// first, or not yet put back).
void lf_clearNamesOf(const std::vector<fs::path>& copied, const fs::path& folder) {
  for (const auto& file : copied) {
    const auto own = folder / file.filename();
    if (!fs::is_directory(fs::symlink_status(own))) {
      fs::remove(own);
    }
  }
}

// Whether the folder's own files are the copy's, name for name and byte for byte: then nothing was taken out of it or
// put into it since the copy was made (the files could not be removed, or a kill came first).
bool lf_holdsTheCopy(const fs::path& folder, const fs::path& copy) {
  const auto copied = lf_filesOfCopy(copy);
  if (lf_filesIn(folder).size() != copied.size()) {
    return false;
  }
  return std::ranges::all_of(copied, [&folder](const fs::path& file) { return lf_holdsAsCopied(folder, file); });
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
  // A link the copy holds is the link it was, wherever it leads from here.
  return std::ranges::any_of(fs::directory_iterator(setAside),
                             [](const fs::directory_entry& entry) { return fs::is_directory(entry.symlink_status()); });
}

}  // namespace

void gf_setFolderAside(const fs::path& folder) {
  gf_createFolder(folder);
  const auto setAside = lf_setAsidePath(folder);
  if (!gf_pathExists(setAside)) {
    lf_removeUnfinished(folder);
    lf_copyAside(folder);
    fs::rename(lf_unfinishedPath(folder), setAside);
  }
  try {
    lf_removeFiles(folder);
  } catch (const fs::filesystem_error&) {
    // A folder that cannot be written keeps its files: what was taken goes back, and the copy goes.
    gf_tryRestoreFolder(folder);
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
    const auto copied = lf_filesOfCopy(setAside);
    lf_removeFiles(folder);
    lf_clearNamesOf(copied, folder);
    lf_copyFiles(copied, folder);
  }
  gf_letGoOfSetAside(folder);
}

void gf_tryRestoreFolder(const fs::path& folder) {
  try {
    gf_restoreFolder(folder);
  } catch (const fs::filesystem_error&) {
    // The copy stays, and the next start gives it back.
  }
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
