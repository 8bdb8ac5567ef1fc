#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/constants.h"

// The two sources that tell which livery title belongs to which registrations: AIG-regcodes.xml, which comes with the
// reference data, and the user's own text files in input/my_regcodes. The livery subsystem reads both on the worker
// thread into one list it owns; the readers only append to it.
namespace cvl {

// One livery title and its registrations (trimmed, sorted by bytes, no repeats). Without registrations the title is
// not to be used.
struct RegcodesEntry {
  std::string title;
  std::vector<std::string> regs;
  bool special{false};
};

// Reads every file directly in the folder whose extension is .txt in any case. One line per title: "title" (not to be
// used), "title;reg" (special), "title;reg,reg,..." or "title;reg,reg,...;#" (special), registrations of 3 to 12
// characters. True when every line was accepted; false (with the lines logged) otherwise, and when the folder cannot
// be read ("Error reading regcode files in {}, what: {}"), keeping what was appended before.
bool gf_readMyRegcodesFiles(const std::filesystem::path& folder, std::vector<RegcodesEntry>& out);

// Reads the plain AIG-regcodes file (input/AIG-regcodes.xml), decrypted by the caller, and removes it on every path.
// True when it loaded, carried the program's meta header and repeated no title.
bool gf_readAIGRegcodes(std::vector<RegcodesEntry>& out, const std::filesystem::path& plainPath = aigRegcodesXmlPath);

// Whether the plain AIG-regcodes file at that path would give gf_readAIGRegcodes its entries: it loads and carries the
// meta header. Entries the reader drops with a warning (a title repeated in a row) do not count against it.
bool gf_aigRegcodesXmlReadable(const std::filesystem::path& plainPath);

}  // namespace cvl
