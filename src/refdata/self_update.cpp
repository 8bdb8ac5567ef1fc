#include "refdata/self_update.h"

#include <fmt/format.h>
#include <zip.h>

#include <fstream>
#include <string>

#include "app/exit_reasons.h"
#include "app/shell_helpers.h"
#include "app/status_line.h"
#include "foundation/constants.h"
#include "foundation/files.h"
#include "foundation/log.h"
#include "foundation/text_files.h"
#include "foundation/zip_archive.h"
#include "refdata/downloader.h"
#include "refdata/site_url.h"
#include "refdata/update_failures.h"

namespace cvl {
namespace {

constexpr std::size_t installerPieceBytes = 0x80000;
const std::filesystem::path readmeFileName{"README.txt"};

void lf_removeOldInstaller() {
  std::error_code error;
  std::filesystem::remove(installerFileName, error);
  if (error) {
    gf_logFlagged(fmt::format("Warning: could not remove old installer: {}", error.message()));
  }
}

// Writes one entry to install_new_version.exe in the program folder, in pieces. A failed extraction leaves no
// installer behind, so that a partial one is never taken for the new version.
void lf_extractEntry(ZipArchive& archive, const ZipEntry& entry, const std::filesystem::path& zipPath) {
  lf_removeOldInstaller();
  std::ofstream out{installerFileName, std::ios::binary | std::ios::trunc};
  if (!out) {
    gf_logFlagged(fmt::format("Could not create output file {}", installerFileName.string()));
    return;
  }
  int code = archive.readInPieces(entry, installerPieceBytes, [&out](const char* bytes, std::size_t count) {
    out.write(bytes, static_cast<std::streamsize>(count));
    return out.good();
  });
  out.close();
  if (code == 0 && out.fail()) {
    code = ZIP_ER_WRITE;
  }
  if (code != 0) {
    gf_logFlagged(fmt::format("Unzipping error code: {}", code));
    std::error_code ignored;
    std::filesystem::remove(installerFileName, ignored);
    return;
  }
  gf_log(fmt::format("{} unzipped to {}", zipPath.string(), installerFileName.string()));
}

// The installer zip is to hold the installer alone; with more file entries the last one wins. Folder entries hold
// no file and are passed over.
void lf_extractInstaller(const std::filesystem::path& zipPath) {
  auto archive = ZipArchive::openForReading(zipPath);
  if (!archive.isOpen()) {
    gf_logFlagged(fmt::format("Could not open {}", zipPath.string()));
    return;
  }
  for (const auto& entry : archive.entries()) {
    if (!entry.isFolder()) {
      lf_extractEntry(archive, entry, zipPath);
    }
  }
  archive.close();
}

// Creates new_version, or empties it when it is there.
void lf_prepareNewVersionFolder() {
  if (std::filesystem::exists(newVersionFolder)) {
    gf_removeFilesFromDirectory(newVersionFolder);
  } else {
    std::filesystem::create_directory(newVersionFolder);
  }
}

// Moves the extracted installer into new_version through a ".part" name, checking that the size survived the move.
bool lf_moveInstallerIntoNewVersion() {
  const auto finalPath = newVersionFolder / installerFileName;
  auto partPath = finalPath;
  partPath += ".part";
  std::error_code error;
  std::filesystem::remove(partPath, error);
  std::filesystem::remove(finalPath, error);

  const auto size1 = std::filesystem::file_size(installerFileName, error);
  if (error) {
    gf_log(fmt::format("file_size({}) failed: {}", installerFileName.string(), error.message()));
    return false;
  }
  std::filesystem::rename(installerFileName, partPath, error);
  if (error) {
    gf_log(
        fmt::format("could not rename {} => {}: {}", installerFileName.string(), partPath.string(), error.message()));
    return false;
  }
  const auto size2 = std::filesystem::file_size(partPath, error);
  if (error) {
    gf_log(fmt::format("file_size({}) failed: {}", partPath.string(), error.message()));
    return false;
  }
  if (size2 != size1) {
    gf_log(fmt::format("rename {} => {} suspicious: size {} != {}", installerFileName.string(), partPath.string(),
                       size1, size2));
    return false;
  }
  std::filesystem::rename(partPath, finalPath, error);
  if (error) {
    gf_log(
        fmt::format("could not finalize rename {} => {}: {}", partPath.string(), finalPath.string(), error.message()));
    return false;
  }
  if (std::filesystem::exists(installerFileName, error)) {
    std::filesystem::remove(installerFileName, error);
  }
  if (error) {
    gf_logFlagged(fmt::format("Warning: could not remove extracted: {}", error.message()));
  }
  return true;
}

}  // namespace

bool lf_downloadNewVersion(const VersionData& webVersion) {
  const std::string version = webVersion.toString();
  const std::filesystem::path zipPath = fmt::format("setup_{}_d_v{}.zip", programName, version);
  // An installer left by an earlier attempt must not pass for this version's.
  lf_removeOldInstaller();
  if (Downloader{}.download(gf_siteUrl("release/" + zipPath.string()), zipPath, true)) {
    gf_log(fmt::format("Downloaded {}", zipPath.string()));
    lf_extractInstaller(zipPath);
  } else {
    gf_setStatusLine(fmt::format("Downloading program installer file version {} failed", version), true);
  }
  lf_prepareNewVersionFolder();
  gf_removeDownloadedZip(zipPath);
  if (!std::filesystem::exists(installerFileName)) {
    // After a stop during the download there is no installer to miss.
    gf_logFlaggedUnlessClosing(fmt::format("{} does not exists?", installerFileName.string()));
    return false;
  }
  return lf_moveInstallerIntoNewVersion();
}

bool lf_downloadReleaseNotes(const std::filesystem::path& targetPath) {
  return Downloader{}.download(gf_siteUrl("docs/" + releaseNotesFileName.string()), targetPath, true);
}

bool lf_openExplorerAtNewVersion() {
  // The folder itself: opening the installer would run it.
  const auto newFolder = std::filesystem::current_path() / newVersionFolder;
  return gf_openOrTell(newFolder, fmt::format("Could not open File Explorer at new version\nThe installer is in {}",
                                              newFolder.string()));
}

bool lf_installNewVersion(const VersionData& webVersion) {
  if (!lf_downloadNewVersion(webVersion)) {
    gf_reportUpdateFailure(
        newVersionFolder,
        "The downloading/unzipping of the new version failed? Try manually via the Mardelwyn website.");
    return false;
  }
  const auto newFolder = std::filesystem::current_path() / newVersionFolder;
  if (!lf_downloadReleaseNotes(newFolder / releaseNotesFileName)) {
    gf_logFlaggedUnlessClosing(
        fmt::format("could not download {} to {}", releaseNotesFileName.string(), newFolder.string()));
  }
  const auto notice = gf_newVersionNotice(std::filesystem::current_path());
  gf_logAndFlush(notice);
  // Logged before the folder is shown: a close while its failure is told must not leave the user without it.
  gf_logAndFlush(fmt::format("The installer of the new version is in {}", newFolder.string()));
  gf_writeTextFile(notice, newVersionFolder / readmeFileName, true);
  if (lf_openExplorerAtNewVersion()) {
    gf_flushLog();
  } else {
    gf_setStatusLine("Opening file explorer at the new version failed? Try manually via the Mardelwyn website.", true);
  }
  gf_requestExit(ExitReason::newVersion, 0);
  return true;
}

}  // namespace cvl
