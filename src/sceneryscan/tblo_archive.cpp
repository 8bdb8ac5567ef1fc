#include "sceneryscan/tblo_archive.h"

#include <fmt/format.h>

#include <fstream>
#include <iterator>
#include <pugixml.hpp>

#include "app/controls.h"
#include "app/main_window.h"
#include "foundation/constants.h"
#include "foundation/files.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_file.h"
#include "foundation/text_encoding.h"
#include "foundation/utilities.h"
#include "parking/airport_file_lookup.h"
#include "refdata/airports_database.h"

namespace cvl {
namespace {

// A generated KMCI of this publisher is never collected: its stands are not to be learned from the scan.
const std::string excludedKmciPublisher{"TropicalSim"};
const std::string kmciCode{"KMCI"};

std::string lf_apfPublisher(const std::filesystem::path& path) {
  pugi::xml_document document;
  if (!document.load_file(path.c_str())) {
    return {};
  }
  return gf_getStringParameter(document, publisherKey).value_or(std::string{});
}

void lf_removeLogged(const std::filesystem::path& path) {
  std::error_code failure;
  std::filesystem::remove(path, failure);
  if (failure) {
    gf_logFlagged(fmt::format("remove({}) failed: {}", gf_pathToUtf8(path), failure.message()));
  }
}

// A linked airport (it has a redirect file) needs no generated file once the copy for the maker is made.
void lf_removeGeneratedWhenLinked(const std::string& code, const std::filesystem::path& generated) {
  const auto redirect = myThirdPartyFolder / gf_txtPathOf(code);
  std::error_code failure;
  const bool linked = std::filesystem::exists(redirect, failure);
  if (failure) {
    gf_logFlagged(fmt::format("exists({}) failed: {}", gf_pathToUtf8(redirect), failure.message()));
  } else if (linked) {
    lf_removeLogged(generated);
  }
}

void lf_collectForMaker(const std::string& code) {
  const auto generated = myThirdPartyFolder / gf_xmlPathOf(code);
  if (code == kmciCode && lf_apfPublisher(generated) == excludedKmciPublisher) {
    lf_removeLogged(generated);
    return;
  }
  if (!gf_isAirportCode(code) || !gf_apfHasPublisher(generated)) {
    return;
  }
  const auto copy = tbloFolder / gf_xmlPathOf(code);
  std::error_code failure;
  std::filesystem::copy_file(generated, copy, std::filesystem::copy_options::overwrite_existing, failure);
  if (failure) {
    gf_logFlagged(
        fmt::format("'{}' failed to copy '{}': {}", gf_pathToUtf8(generated), gf_pathToUtf8(copy), failure.message()));
    return;
  }
  gf_log(fmt::format("{} copied to {}", code, gf_pathToUtf8(copy)));
  lf_removeGeneratedWhenLinked(code, generated);
}

std::uint64_t lf_fileSize(const std::filesystem::path& path) {
  std::error_code failure;
  const auto size = std::filesystem::file_size(path, failure);
  return failure ? 0 : size;
}

}  // namespace

std::atomic<std::uint64_t> tbloReady{0};

std::optional<std::string> lf_readFileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return std::nullopt;
  }
  std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) {
    return std::nullopt;
  }
  return bytes;
}

bool lf_zipReport(ZipArchive& archive, const std::filesystem::path& zipPath, std::size_t count) {
  const bool closed = count > 0 && archive.close();
  std::error_code failure;
  const bool exists = std::filesystem::exists(zipPath, failure);
  const auto size = exists ? lf_fileSize(zipPath) : 0;
  gf_log(fmt::format("[zip] Added {} files, ok_close={}, exists={}, size={} bytes", count, closed, exists, size));
  return closed && exists && size != 0;
}

bool lf_zipFolder(const std::filesystem::path& zipPath) {
  if (!std::filesystem::is_directory(tbloFolder)) {
    gf_log(fmt::format("[zip] Not a directory: {}", gf_pathToUtf8(tbloFolder)));
    return false;
  }
  if (zipPath.has_parent_path()) {
    std::filesystem::create_directories(zipPath.parent_path());
  }
  const auto target = std::filesystem::absolute(zipPath);
  const auto source = std::filesystem::absolute(tbloFolder);
  gf_log(fmt::format("[zip] Target file: {}", gf_pathToUtf8(target)));
  gf_log(fmt::format("[zip] Source dir : {}", gf_pathToUtf8(source)));
  if (std::filesystem::exists(target)) {
    gf_log(fmt::format("[zip] Replacing old zip {}", gf_pathToUtf8(target)));
  }
  auto archive = ZipArchive::create(target);
  if (!archive.isOpen()) {
    gf_log("[zip] Could not open archive for writing");
    return false;
  }
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(source)) {
    std::error_code unrelated;
    if (!entry.is_regular_file() || std::filesystem::equivalent(entry.path(), target, unrelated)) {
      continue;
    }
    auto bytes = lf_readFileBytes(entry.path());
    if (!bytes) {
      gf_log(fmt::format("[zip] READ FAIL: {}", gf_pathToUtf8(entry.path())));
      continue;
    }
    const auto name = gf_pathToUtf8(entry.path().filename());
    gf_log(fmt::format("[zip] Adding (data) {} -> {} ({} bytes)", gf_pathToUtf8(entry.path()), name, bytes->size()));
    if (!archive.add(name, std::move(*bytes))) {
      gf_log(fmt::format("[zip] ERROR addData({})", name));
      break;
    }
    ++count;
  }
  return lf_zipReport(archive, target, count);
}

void lf_prepareOfflineLearning(const std::vector<std::string>& codes) {
  if (codes.empty()) {
    return;
  }
  for (const auto& code : codes) {
    lf_collectForMaker(code);
  }
  const auto collected = gf_countFilesInDirectory(tbloFolder);
  if (collected == 0) {
    tbloReady = 0;
    gf_log("All your third party airports are recognised, no off line learning needed.");
    return;
  }
  const auto archivePath = tbloFolder / tbloZipPath;
  if (!lf_zipFolder(archivePath)) {
    // The copies stay unpacked; the scan removes them with the folder.
    gf_logFlagged("Zippen TBLO folder failed");
    return;
  }
  gf_removeXMLFilesFromDirectory();
  tbloReady = collected;
  gf_enableControl(tbloButton);
  gf_log(fmt::format("\n! Mail {} to {}: it holds {} airport file{} that can then be learned off line.\n",
                     gf_pathToUtf8(archivePath), supportMailAddress, collected, gf_pluralSSize(collected)));
  gf_invalidateBand(rcControls);
}

}  // namespace cvl
