#include "refdata/simaddon_update.h"

#include <fmt/format.h>

#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/status_line.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/text_files.h"
#include "foundation/zip_archive.h"
#include "refdata/downloader.h"
#include "refdata/site_url.h"
#include "sceneryscan/folders_before_scan.h"

namespace cvl {
namespace {

constexpr std::string_view simAddonZipUrlPath = "mysimaddon24/my_simaddon2024.zip";

// Beside airports/my_simaddon, the zip is written into this folder before any file of airports/my_simaddon changes.
std::filesystem::path lf_unzippedFolder() {
  return mySimAddonFolder.parent_path() / (mySimAddonFolder.filename().string() + "_unzipped");
}

// Missing, not a folder, or empty: the data must be fetched again. Status errors other than "not found" throw.
bool lf_hasNoFiles(const std::filesystem::path& folder) {
  return !std::filesystem::is_directory(std::filesystem::status(folder)) || std::filesystem::is_empty(folder);
}

// The entry's own file name, after its last folder; "/" and "\" both count as separators, so that no name can lead
// out of the target folder. Empty for names that are no file ("", ".", "..").
std::string lf_plainFileName(std::string_view entryName) {
  const auto separator = entryName.find_last_of("/\\");
  const auto name = separator == std::string_view::npos ? entryName : entryName.substr(separator + 1);
  if (name == "." || name == "..") {
    return {};
  }
  return std::string{name};
}

// A file entry as it is to land in the folder: its stem with ".txt", and its text.
struct UnpackedEntry {
  std::filesystem::path target;
  std::string text;
};

// Every file entry read whole; nothing (logged) when one of them cannot be read, so that a damaged zip never
// replaces the files already there.
std::optional<std::vector<UnpackedEntry>> lf_readEntries(ZipArchive& archive, const std::filesystem::path& folder) {
  std::vector<UnpackedEntry> unpacked;
  for (const auto& entry : archive.entries()) {
    const auto name = lf_plainFileName(entry.name);
    if (entry.isFolder() || name.empty()) {
      continue;
    }
    auto text = archive.read(entry);
    if (!text) {
      gf_logFlagged(
          fmt::format("Could not read {} from {}: {}", entry.name, simAddonZipPath.string(), archive.errorText()));
      return std::nullopt;
    }
    unpacked.push_back({folder / (std::filesystem::path{name}.stem().string() + ".txt"), std::move(*text)});
  }
  return unpacked;
}

// Writes every entry into a fresh unzipped folder; false (logged) at the first that cannot be written.
bool lf_writeEntries(const std::vector<UnpackedEntry>& unpacked) {
  const auto unzippedFolder = lf_unzippedFolder();
  std::error_code error;
  std::filesystem::remove_all(unzippedFolder, error);
  if (!error) {
    std::filesystem::create_directories(unzippedFolder, error);
  }
  if (error) {
    gf_logFlagged(fmt::format("Could not create directory {}: {}", unzippedFolder.string(), error.message()));
    return false;
  }
  for (const auto& [target, text] : unpacked) {
    if (!gf_writeTextFile(text, target, false)) {
      gf_logFlagged(fmt::format("Failed to write file: {}", target.string()));
      return false;
    }
  }
  return true;
}

// Moves the files into airports/my_simaddon, or copies them where they cannot move (a link to another drive).
void lf_moveUnzippedFiles() {
  for (const auto& entry : std::filesystem::directory_iterator(lf_unzippedFolder())) {
    const auto target = mySimAddonFolder / entry.path().filename();
    std::error_code notMoved;
    std::filesystem::rename(entry.path(), target, notMoved);
    if (notMoved) {
      std::filesystem::copy_file(entry.path(), target, std::filesystem::copy_options::overwrite_existing);
    }
  }
}

// The unzipped files replace the files of airports/my_simaddon; subfolders the user keeps there and a linked folder
// stay. The old files are set aside first and come back when the new ones cannot all be put in place, or at the next
// start after a kill.
bool lf_putUnzippedInPlace() {
  try {
    gf_setFolderAside(mySimAddonFolder);
    lf_moveUnzippedFiles();
    gf_letGoOfSetAside(mySimAddonFolder);
    return true;
  } catch (const std::filesystem::filesystem_error& error) {
    gf_logFlagged(fmt::format("Could not put {} in place of {}: {}", lf_unzippedFolder().string(),
                              mySimAddonFolder.string(), error.code().message()));
  }
  gf_tryRestoreFolder(mySimAddonFolder);
  return false;
}

// Every file of the zip, or none: the folder and its stored version change only when each entry was written.
ComponentUpdate lf_unpackDownloadedZip(const VersionData& webVersion) {
  auto archive = ZipArchive::openForReading(simAddonZipPath);
  if (!archive.isOpen()) {
    gf_logFlagged(fmt::format("Could not open {}", simAddonZipPath.string()));
    return ComponentUpdate::failed;
  }
  const auto unpacked = lf_readEntries(archive, lf_unzippedFolder());
  archive.close();
  if (!unpacked) {
    return ComponentUpdate::failed;
  }
  if (unpacked->empty()) {
    gf_logFlagged(fmt::format("{} holds no files", simAddonZipPath.string()));
    return ComponentUpdate::failed;
  }
  const bool inPlace = lf_writeEntries(*unpacked) && lf_putUnzippedInPlace();
  std::error_code ignored;
  std::filesystem::remove_all(lf_unzippedFolder(), ignored);
  if (!inPlace) {
    return ComponentUpdate::failed;
  }
  gf_setStatusLine(fmt::format("{} unzipped {} files", simAddonZipPath.string(), unpacked->size()), true);
  MYSIMADDON24_VERSION.setValue(webVersion.toString());
  return ComponentUpdate::updated;
}

}  // namespace

ComponentUpdate lf_updateMySimAddon(const VersionData& webVersion) {
  const VersionData stored{MYSIMADDON24_VERSION.getValue()};
  if (!(webVersion > stored) && !lf_hasNoFiles(mySimAddonFolder)) {
    return ComponentUpdate::upToDate;
  }
  if (!Downloader{}.download(gf_siteUrl(simAddonZipUrlPath), simAddonZipPath, true)) {
    return ComponentUpdate::failed;
  }
  const auto result = lf_unpackDownloadedZip(webVersion);
  gf_removeDownloadedZip(simAddonZipPath);
  return result;
}

void gf_settleMySimAddonFolder() {
  std::error_code error;
  std::filesystem::remove_all(lf_unzippedFolder(), error);
  if (error) {
    gf_logFlagged(fmt::format("Warning: could not tidy up beside {}: {}", mySimAddonFolder.string(), error.message()));
  }
}

}  // namespace cvl
