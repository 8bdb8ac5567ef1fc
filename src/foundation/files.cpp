#include "foundation/files.h"

#include <fmt/format.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string_view>

#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/strings.h"

namespace cvl {
namespace {

// The path of a generation: zeros inserted before the last dot of the file name (never of a folder name).
std::optional<std::filesystem::path> lf_generationPath(const std::filesystem::path& path, std::size_t zeros) {
  std::string name = path.filename().string();
  const auto dot = name.rfind('.');
  if (dot == std::string::npos) {
    return std::nullopt;
  }
  name.insert(dot, zeros, '0');
  return path.parent_path() / name;
}

bool lf_isXmlName(const std::filesystem::path& path) {
  return gf_equalsUpper(".XML", path.extension().string());
}

using EntryFilter = std::function<bool(const std::filesystem::path&)>;

// Collects the entries first, so that removing them cannot disturb the walk.
void lf_removeEntries(const std::filesystem::path& folder, std::string_view functionName, const EntryFilter& wanted) {
  try {
    if (!std::filesystem::is_directory(folder)) {
      return;
    }
    std::vector<std::filesystem::path> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (wanted(entry.path())) {
        entries.push_back(entry.path());
      }
    }
    for (const auto& entry : entries) {
      std::filesystem::remove(entry);
    }
  } catch (const std::exception& failure) {
    gf_logFlagged(fmt::format("{} exception: {}", functionName, failure.what()));
  }
}

bool lf_isRegularFile(const std::filesystem::directory_entry& entry) {
  return entry.status().type() == std::filesystem::file_type::regular;
}

using GenerationStep = void (*)(const std::filesystem::path&, const std::filesystem::path&, std::error_code&);

// Puts source in place of target when source exists; a failure is logged and clears result.
void lf_shiftGeneration(const std::filesystem::path& source, const std::filesystem::path& target,
                        std::string_view stepName, GenerationStep step, bool& result) {
  std::error_code error;
  const bool exists = std::filesystem::exists(source, error);
  if (error) {
    gf_logFlagged(fmt::format("exists({}): {}", source.string(), error.message()));
    result = false;
    return;
  }
  if (!exists) {
    return;
  }
  step(source, target, error);
  if (error) {
    gf_logFlagged(fmt::format("{} {} -> {} failed: {}", stepName, source.string(), target.string(), error.message()));
    result = false;
  }
}

// A copy cut off (by a full disk, say) stays under its temporary name and is removed: target keeps its bytes.
void lf_copyThroughTemporary(const std::filesystem::path& source, const std::filesystem::path& target,
                             std::error_code& error) {
  const auto temporary = gf_temporaryPathBeside(target);
  std::filesystem::copy_file(source, temporary, std::filesystem::copy_options::overwrite_existing, error);
  if (!error) {
    std::filesystem::rename(temporary, target, error);
  }
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
  }
}

void lf_renameOnto(const std::filesystem::path& source, const std::filesystem::path& target, std::error_code& error) {
  std::filesystem::rename(source, target, error);
}

// Renaming needs no room on the disk, so older generations move up even on a full one.
void lf_moveGeneration(const std::filesystem::path& source, const std::filesystem::path& target, bool& result) {
  lf_shiftGeneration(source, target, "move", lf_renameOnto, result);
}

}  // namespace

std::filesystem::path gf_temporaryPathBeside(const std::filesystem::path& path) {
  static std::atomic<unsigned> uses{0};
  auto name = path;
  name += fmt::format(".{}-{}.tmp", ::getpid(), uses.fetch_add(1));
  return name;
}

void lf_copyGeneration(const std::filesystem::path& source, const std::filesystem::path& target, bool& result) {
  lf_shiftGeneration(source, target, "copy", lf_copyThroughTemporary, result);
}

bool gf_save1GenerationOf(const std::filesystem::path& path) {
  const auto first = lf_generationPath(path, 1);
  if (!first) {
    gf_logFlagged(fmt::format("gf_save1GenerationOf: no dot in filename: {}", path.string()));
    return false;
  }
  bool result = true;
  lf_copyGeneration(path, *first, result);
  return result;
}

bool gf_saveUpto3GenerationsOf(const std::filesystem::path& path) {
  const auto first = lf_generationPath(path, 1);
  if (!first) {
    gf_logFlagged(fmt::format("gf_saveUpto3GenerationsOf: no dot in filename: {}", path.string()));
    return false;
  }
  const auto second = *lf_generationPath(path, 2);
  const auto third = *lf_generationPath(path, 3);
  bool result = true;
  lf_moveGeneration(second, third, result);
  lf_moveGeneration(*first, second, result);
  lf_copyGeneration(path, *first, result);
  return result;
}

void gf_removeFilesFromDirectory(const std::filesystem::path& folder) {
  lf_removeEntries(folder, "gf_removeFilesFromDirectory", [](const std::filesystem::path&) { return true; });
}

void gf_removeXMLFilesFromDirectory() {
  lf_removeEntries(tbloFolder, "gf_removeXMLFilesFromDirectory", lf_isXmlName);
}

std::size_t gf_countFilesInDirectory(const std::filesystem::path& folder) {
  if (!std::filesystem::exists(folder)) {
    return 0;
  }
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    count += lf_isRegularFile(entry) ? 1 : 0;
  }
  return count;
}

std::vector<std::string> gf_listXmlFiles() {
  std::vector<std::string> names;
  if (!std::filesystem::exists(myThirdPartyFolder)) {
    return names;
  }
  names.reserve(512);
  for (const auto& entry : std::filesystem::directory_iterator(myThirdPartyFolder)) {
    if (lf_isRegularFile(entry) && lf_isXmlName(entry.path())) {
      names.push_back(entry.path().filename().string());
    }
  }
  return names;
}

}  // namespace cvl
