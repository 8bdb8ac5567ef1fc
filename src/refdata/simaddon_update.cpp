#include "refdata/simaddon_update.h"

#include <fmt/format.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/status_line.h"
#include "foundation/constants.h"
#include "foundation/files.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/text_files.h"
#include "foundation/zip_archive.h"
#include "refdata/downloader.h"
#include "refdata/site_url.h"

namespace cvl {
namespace {

const std::filesystem::path simAddonZipPath{"my_simaddon2024.zip"};
constexpr std::string_view simAddonZipUrlPath = "mysimaddon24/my_simaddon2024.zip";

// Missing, not a folder, or empty: the data must be fetched again. Status errors other than "not found" throw.
bool lf_hasNoFiles(const std::filesystem::path& folder) {
  return !std::filesystem::is_directory(std::filesystem::status(folder)) || std::filesystem::is_empty(folder);
}

// Empties the folder, or creates it with its parents; false (logged) when it cannot be created.
bool lf_prepareFolder(const std::filesystem::path& folder) {
  if (std::filesystem::exists(folder)) {
    gf_removeFilesFromDirectory(folder);
    return true;
  }
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    gf_logFlagged(fmt::format("Could not create directory {}: {}", folder.string(), error.message()));
    return false;
  }
  return true;
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

std::size_t lf_writeEntries(const std::vector<UnpackedEntry>& unpacked) {
  std::size_t count = 0;
  for (const auto& [target, text] : unpacked) {
    if (!gf_writeTextFile(text, target, false)) {
      gf_logFlagged(fmt::format("Failed to write file: {}", target.string()));
      continue;
    }
    ++count;
  }
  return count;
}

ComponentUpdate lf_unpackDownloadedZip(const VersionData& webVersion) {
  auto archive = ZipArchive::openForReading(simAddonZipPath);
  if (!archive.isOpen()) {
    gf_logFlagged(fmt::format("Could not open {}", simAddonZipPath.string()));
    return ComponentUpdate::failed;
  }
  const auto unpacked = lf_readEntries(archive, mySimAddonFolder);
  archive.close();
  if (!unpacked || !lf_prepareFolder(mySimAddonFolder)) {
    return ComponentUpdate::failed;
  }
  const auto count = lf_writeEntries(*unpacked);
  gf_setStatusLine(fmt::format("{} unzipped {} files", simAddonZipPath.string(), count), true);
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

}  // namespace cvl
