#include "foundation/files.h"

#include <fcntl.h>
#include <fmt/format.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <functional>
#include <gsl/util>
#include <optional>
#include <string_view>
#include <system_error>

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

// What went wrong putting source in place of target, as the log says it; nothing when source is there or absent.
std::optional<std::string> lf_shiftFailure(const std::filesystem::path& source, const std::filesystem::path& target,
                                           std::string_view stepName, GenerationStep step) {
  std::error_code error;
  const bool exists = std::filesystem::exists(source, error);
  if (error) {
    return fmt::format("exists({}): {}", source.string(), error.message());
  }
  if (!exists) {
    return std::nullopt;
  }
  step(source, target, error);
  if (error) {
    return fmt::format("{} {} -> {} failed: {}", stepName, source.string(), target.string(), error.message());
  }
  return std::nullopt;
}

// Puts source in place of target when source exists; a failure is logged and clears result.
void lf_shiftGeneration(const std::filesystem::path& source, const std::filesystem::path& target,
                        std::string_view stepName, GenerationStep step, bool& result) {
  if (const auto failure = lf_shiftFailure(source, target, stepName, step)) {
    gf_logFlagged(*failure);
    result = false;
  }
}

std::error_code lf_lastSystemError() {
  return {errno, std::generic_category()};
}

// Writes all the bytes, however many calls that takes; false with errno set when a call fails.
bool lf_writeAll(int file, const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t written = ::write(file, bytes, count);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

// Copies the bytes from one open file to the other until the end, and makes sure they reached the disk.
std::error_code lf_copyContent(int from, int to) {
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got == 0) {
      break;
    }
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0 || !lf_writeAll(to, buffer.data(), static_cast<std::size_t>(got))) {
      return lf_lastSystemError();
    }
  }
  return ::fsync(to) == 0 ? std::error_code{} : lf_lastSystemError();
}

// A new file target with the bytes and permissions of the regular file source. The error is that of the call that
// failed, so a copy that a full disk cuts short says there is no space left (the standard library's copy says
// "Input/output error" where the disk fills up partway).
void lf_copyFile(const std::filesystem::path& source, const std::filesystem::path& target, std::error_code& error) {
  // Not blocking, so that opening a named pipe does not wait for a writer; it is then refused as no regular file.
  const int from = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (from < 0) {
    error = lf_lastSystemError();
    return;
  }
  const auto closeSource = gsl::finally([from] { ::close(from); });
  struct stat status {};
  if (::fstat(from, &status) != 0) {
    error = lf_lastSystemError();
    return;
  }
  if (!S_ISREG(status.st_mode)) {
    error = std::make_error_code(std::errc::not_supported);
    return;
  }
  const int to = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, status.st_mode & 07777U);
  if (to < 0) {
    error = lf_lastSystemError();
    return;
  }
  error = lf_copyContent(from, to);
  if (::close(to) != 0 && !error) {
    error = lf_lastSystemError();
  }
}

// A copy cut off (by a full disk, say) stays under its temporary name and is removed: target keeps its bytes.
void lf_copyThroughTemporary(const std::filesystem::path& source, const std::filesystem::path& target,
                             std::error_code& error) {
  const auto temporary = gf_temporaryPathBeside(target);
  lf_copyFile(source, temporary, error);
  if (!error) {
    std::filesystem::rename(temporary, target, error);
  }
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
  }
}

bool lf_isOutOfRoom(std::error_code error) {
  return error == std::errc::no_space_on_device || error.value() == EDQUOT;
}

// A file about to be emptied that finds no room for its copy becomes the generation itself: a rename needs no room.
void lf_copyElseRenameWhenFull(const std::filesystem::path& source, const std::filesystem::path& target,
                               std::error_code& error) {
  lf_copyThroughTemporary(source, target, error);
  if (lf_isOutOfRoom(error)) {
    std::filesystem::rename(source, target, error);
  }
}

// A file this user may not read cannot be copied, but it may still be renamed.
void lf_copyElseRenameWhenUnreadable(const std::filesystem::path& source, const std::filesystem::path& target,
                                     std::error_code& error) {
  lf_copyThroughTemporary(source, target, error);
  if (error == std::errc::permission_denied) {
    std::filesystem::rename(source, target, error);
  }
}

void lf_renameOnto(const std::filesystem::path& source, const std::filesystem::path& target, std::error_code& error) {
  std::filesystem::rename(source, target, error);
}

// Renaming needs no room on the disk, so older generations move up even on a full one.
void lf_moveGeneration(const std::filesystem::path& source, const std::filesystem::path& target, bool& result) {
  lf_shiftGeneration(source, target, "move", lf_renameOnto, result);
}

std::string lf_noDotFailure(std::string_view functionName, const std::filesystem::path& path) {
  return fmt::format("{}: no dot in filename: {}", functionName, path.string());
}

struct Shift {
  bool everyStepDone = false;
  // The file is in its first generation now, or there was none.
  bool fileKept = false;
};

// Moves the second generation over the third and the first over the second, then puts the file in place of the
// first by the step given. A failed step does not stop the later ones.
Shift lf_shiftUpto3Generations(const std::filesystem::path& path, std::string_view functionName,
                               GenerationStep keepFile) {
  const auto first = lf_generationPath(path, 1);
  if (!first) {
    gf_logFlagged(lf_noDotFailure(functionName, path));
    return {};
  }
  const auto second = *lf_generationPath(path, 2);
  bool olderMoved = true;
  lf_moveGeneration(second, *lf_generationPath(path, 3), olderMoved);
  lf_moveGeneration(*first, second, olderMoved);
  bool fileKept = true;
  lf_shiftGeneration(path, *first, "copy", keepFile, fileKept);
  return {olderMoved && fileKept, fileKept};
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
    gf_logFlagged(lf_noDotFailure("gf_save1GenerationOf", path));
    return false;
  }
  bool result = true;
  lf_copyGeneration(path, *first, result);
  return result;
}

std::optional<std::string> gf_setAside1GenerationOf(const std::filesystem::path& path) {
  const auto first = lf_generationPath(path, 1);
  if (!first) {
    return lf_noDotFailure("gf_setAside1GenerationOf", path);
  }
  return lf_shiftFailure(path, *first, "copy", lf_copyElseRenameWhenUnreadable);
}

bool gf_saveUpto3GenerationsOf(const std::filesystem::path& path) {
  return lf_shiftUpto3Generations(path, "gf_saveUpto3GenerationsOf", lf_copyThroughTemporary).everyStepDone;
}

bool gf_keepUpto3GenerationsBeforeEmptying(const std::filesystem::path& path) {
  return lf_shiftUpto3Generations(path, "gf_keepUpto3GenerationsBeforeEmptying", lf_copyElseRenameWhenFull).fileKept;
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
