#include "datatool/download_site.h"

#include <fmt/format.h>
#include <fmt/std.h>

#include <array>
#include <pugixml.hpp>
#include <stdexcept>

#include "datatool/airport_archive.h"
#include "datatool/data_file_encryption.h"
#include "datatool/placeholder_pdf.h"
#include "datatool/replacing_file_writer.h"
#include "datatool/zip_writer.h"

namespace cvl::datatool {
namespace {

struct DataFile {
  std::string_view plainName;
  std::string_view encryptedName;
};

constexpr std::array<DataFile, 3> dataFiles = {{
    {"dbase.xml", "dbase.enc"},
    {"airports.xml", "airports.enc"},
    {"AIG-regcodes.xml", "AIG-regcodes.enc"},
}};

// A broken sample file would only show up as a reading error in the program, far from its cause.
void requireWellFormedXml(const std::filesystem::path& path) {
  pugi::xml_document document;
  const pugi::xml_parse_result result = document.load_file(path.c_str());
  if (!result) {
    throw std::runtime_error(fmt::format("{} is not well-formed XML: {}", path, result.description()));
  }
}

void writeDataFiles(const std::filesystem::path& sampleDir, const std::filesystem::path& dataDir) {
  std::filesystem::create_directories(dataDir);
  for (const DataFile& file : dataFiles) {
    const std::filesystem::path plainPath = sampleDir / file.plainName;
    requireWellFormedXml(plainPath);
    encryptDataFile(plainPath, dataDir / file.encryptedName);
  }
}

void writeReleaseNotes(const std::filesystem::path& docsDir) {
  std::filesystem::create_directories(docsDir);
  writeFileReplacing(docsDir / "ReleaseNotes.pdf", placeholderPdf(fmt::format("{} release notes", programName)));
}

// Each entry is a redirect file naming the airport file archived on the site.
void writeSimAddonZip(const std::filesystem::path& zipDir, const std::vector<std::string>& airports) {
  std::filesystem::create_directories(zipDir);
  ZipWriter zip(zipDir / "my_simaddon2024.zip");
  for (const std::string& code : airports) {
    zip.add(fmt::format("{}.txt", code), fmt::format("archive/simaddon/{}.xml\n", code));
  }
  zip.close();
}

void writeInstallerZip(const std::filesystem::path& releaseDir, const ComponentVersion& version) {
  std::filesystem::create_directories(releaseDir);
  ZipWriter zip(releaseDir / installerZipName(version));
  zip.add(installerExeName(version), fmt::format("{} {} installer stand-in\n", programName, versionText(version)));
  zip.close();
}

}  // namespace

std::string dataFolderName() {
  return std::to_string(parseComponentVersion(CORVALEN_PROGRAM_VERSION).major);
}

std::string installerZipName(const ComponentVersion& version) {
  return fmt::format("setup_{}_d_v{}.zip", programName, versionText(version));
}

std::string installerExeName(const ComponentVersion& version) {
  return fmt::format("setup_{}_d_v{}.exe", programName, versionText(version));
}

void layOutSite(const std::filesystem::path& sampleDir, const std::filesystem::path& siteDir,
                const SiteOptions& options) {
  writeDataFiles(sampleDir, siteDir / dataFolderName());
  writeReleaseNotes(siteDir / "docs");
  layOutAirportArchive(sampleDir / "airports" / "archive", siteDir, options.simAddonAirports);
  writeSimAddonZip(siteDir / "mysimaddon24", options.simAddonAirports);
  if (options.installerVersion) {
    writeInstallerZip(siteDir / "release", *options.installerVersion);
  }
  writeFileReplacing(siteDir / "versions.json", versionsJson(options.versions));
}

}  // namespace cvl::datatool
