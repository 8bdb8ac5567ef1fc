#pragma once

#include <filesystem>
#include <string>

// Whether a data file would serve the start-up, and what the user is told of one in input/ that does not. Each check
// decrypts the file into a plain file beside it, reads that as the start-up reads its data file, and removes it
// again; why a file would not serve is logged. The tables the start-up fills are left alone.
namespace cvl {

bool gf_dbaseFileUsable(const std::filesystem::path& encPath);
bool gf_airportsFileUsable(const std::filesystem::path& encPath);
bool gf_aigRegcodesFileUsable(const std::filesystem::path& encPath);

// "<file> not available" for a missing file; for one that is there, that it is damaged and will be downloaded again at
// the next start: the version check fetches a file that does not serve as it fetches a missing one.
std::string gf_unusableDataFileText(const std::filesystem::path& encPath);

// Decrypts input/AIG-regcodes.enc into input/AIG-regcodes.xml for reading. A file that is there but does not decrypt
// is named as damaged on the status line, where it stays through the start-up as an update failure does (also
// logged); the start-up goes on without it.
bool gf_decryptAigRegcodes();

}  // namespace cvl
