#pragma once

#include <filesystem>
#include <optional>
#include <string>

// Whether a data file would serve the start-up, and what the user is told of one in input/ that does not. Each check
// decrypts the file into a plain file beside it, reads that as the start-up reads its data file, and removes it
// again; why a file would not serve is logged. The tables the start-up fills are left alone.
namespace cvl {

enum class DataFileState {
  usable,
  damaged,  // it does not decrypt, or its plain text does not read
  // It could not be opened for reading (another user's file), or its plain file could not be written beside it (a
  // read-only folder, a full disk): nothing is known of the file.
  notTried,
};

DataFileState gf_dbaseFileState(const std::filesystem::path& encPath);
DataFileState gf_airportsFileState(const std::filesystem::path& encPath);
DataFileState gf_aigRegcodesFileState(const std::filesystem::path& encPath);

// Throws std::runtime_error "<folder>/ could not be read (<the system's reason>)" when the folder is there but the user
// may not search it: nothing in it can then be known, and the user is told so as of a data file he may not read.
void gf_requireSearchableFolder(const std::filesystem::path& folder);

// Whether the data file is there. When that cannot be known, std::runtime_error: that of gf_requireSearchableFolder
// for the file's folder, else "<file> could not be read (<the system's reason>)".
bool gf_dataFileExists(const std::filesystem::path& file);

// "<file> not available" for a missing file; for one that is there, that it is damaged and will be downloaded again at
// the next start: the version check fetches a file that does not serve as it fetches a missing one.
std::string gf_unusableDataFileText(const std::filesystem::path& encPath);

// Decrypts the data file into its plain file for its reader. Nothing when that worked; else what the user is told:
// the text of gf_unusableDataFileText; "<file> could not be read (<the system's reason>)" when the file cannot be
// opened for reading; or, when only the plain file could not be written, "<file> could not be read: cannot write
// <plain file> (<the system's reason>)". No download can mend either of the last two. When not even the file's
// presence can be known, the error of gf_dataFileExists is thrown.
std::optional<std::string> gf_decryptForReading(const std::filesystem::path& encPath,
                                                const std::filesystem::path& plainPath);

// Decrypts input/AIG-regcodes.enc into input/AIG-regcodes.xml for reading. A file that is there but cannot be read is
// named on the status line, where it stays through the start-up in place of a failed update of the file (also
// logged); the start-up goes on without it.
bool gf_decryptAigRegcodes();

}  // namespace cvl
