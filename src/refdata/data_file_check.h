#pragma once

#include <filesystem>

// Whether a freshly downloaded data file would serve the start-up in place of the file it is to replace. Each check
// decrypts the file into a plain file beside it, reads that as the start-up reads its data file, and removes it again;
// why a file would not serve is logged. The tables the start-up fills are left alone.
namespace cvl {

bool gf_dbaseFileUsable(const std::filesystem::path& encPath);
bool gf_airportsFileUsable(const std::filesystem::path& encPath);
bool gf_aigRegcodesFileUsable(const std::filesystem::path& encPath);

}  // namespace cvl
