#include "datatool/airport_archive.h"

#include <fmt/format.h>
#include <fmt/std.h>

#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

#include "datatool/replacing_file_writer.h"

namespace cvl::datatool {
namespace {

namespace fs = std::filesystem;

// Site path relative to the archive folder -> sample file.
using ArchiveFiles = std::map<fs::path, fs::path>;

ArchiveFiles sampleArchiveFiles(const fs::path& sampleArchive) {
  ArchiveFiles files;
  if (!fs::is_directory(sampleArchive)) {
    return files;
  }
  for (const auto& entry : fs::recursive_directory_iterator(sampleArchive)) {
    if (entry.is_regular_file()) {
      files.emplace(fs::relative(entry.path(), sampleArchive), entry.path());
    }
  }
  return files;
}

void addSimAddonFiles(ArchiveFiles& files, const std::vector<std::string>& simAddonAirports) {
  for (const std::string& code : simAddonAirports) {
    const fs::path name = code + ".xml";
    if (files.contains("simaddon" / name)) {
      continue;
    }
    const auto stock = files.find("stock" / name);
    if (stock == files.end()) {
      throw std::runtime_error(
          fmt::format("simaddon airport {} has no airport file: neither simaddon/{} nor stock/{} in the archive", code,
                      name, name));
    }
    files.emplace("simaddon" / name, stock->second);
  }
}

std::string bytesOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw std::runtime_error(fmt::format("cannot read {}", path));
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void copyInto(const fs::path& target, const fs::path& source) {
  fs::create_directories(target.parent_path());
  writeFileReplacing(target, bytesOf(source));
}

bool isThirdparty(const fs::path& relative) {
  return *relative.begin() == "thirdparty";
}

}  // namespace

void layOutAirportArchive(const fs::path& sampleArchive, const fs::path& siteDir,
                          const std::vector<std::string>& simAddonAirports) {
  ArchiveFiles files = sampleArchiveFiles(sampleArchive);
  addSimAddonFiles(files, simAddonAirports);
  for (const auto& [relative, source] : files) {
    copyInto(siteDir / "MSFS" / "archive" / relative, source);
    if (isThirdparty(relative)) {
      copyInto(siteDir / "MSFS2024" / "archive" / relative, source);
    }
  }
}

}  // namespace cvl::datatool
