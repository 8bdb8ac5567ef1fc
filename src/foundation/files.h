#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Older generations of files that are about to be rewritten, and the emptying, counting and listing of folders.
// Generation n of a file is named by inserting n zeros before the last dot of its file name: Log.txt has Log0.txt,
// Log00.txt and Log000.txt. A file name without a dot has no generations.
namespace cvl {

// Copies the file to its first generation. True when there was no file or the copy succeeded; failures are logged.
bool gf_save1GenerationOf(const std::filesystem::path& path);

// Keeps the file as its first generation before it is written anew or removed, as gf_save1GenerationOf does, except
// that a file this user may not read is renamed to it, which needs neither room nor the right to read it, and is then
// gone. The failure as gf_save1GenerationOf logs it, for the caller to log when it sees fit; none when the file is
// kept or there is none.
std::optional<std::string> gf_setAside1GenerationOf(const std::filesystem::path& path);

// Moves the second generation over the third and the first over the second, then copies the file over the first; a
// failed step does not stop the later ones, and a failed copy leaves no first generation (it has moved up). True when
// every step succeeded; failures are logged.
bool gf_saveUpto3GenerationsOf(const std::filesystem::path& path);

// The same for a file that is about to be emptied (the log at a start): where no copy of the file fits on the disk,
// the file is renamed to its first generation, which needs no room, and is then gone. True when the file is kept in
// its first generation, or there was none, so that it may be emptied; failures are logged.
bool gf_keepUpto3GenerationsBeforeEmptying(const std::filesystem::path& path);

// Copies source over target when source exists, under a temporary name beside target that is then renamed: a failed
// copy leaves target as it was, and one that a full disk cuts short says "No space left on device". A failure is
// logged and clears result.
void lf_copyGeneration(const std::filesystem::path& source, const std::filesystem::path& target, bool& result);

// A name beside the file, for writing it whole before it replaces the file, that no other write of this process or of
// another one uses at the same time.
std::filesystem::path gf_temporaryPathBeside(const std::filesystem::path& path);

// Removes the entries of a folder (files and empty subfolders) in the order of the walk. The first failure is logged
// and ends the removal. A missing folder is left alone.
void gf_removeFilesFromDirectory(const std::filesystem::path& folder);

// The same on the tblo folder, for the entries whose extension is .XML in any case.
void gf_removeXMLFilesFromDirectory();

// The regular files (following links) in a folder; 0 for a missing folder. Filesystem errors are thrown.
std::size_t gf_countFilesInDirectory(const std::filesystem::path& folder);

// The file names, with extension, of the regular .XML files (any case) in airports/my_thirdparty, in the order of the
// walk; empty when the folder is missing. Filesystem errors are thrown.
std::vector<std::string> gf_listXmlFiles();

}  // namespace cvl
