#include "liveries/dont_use_titles.h"

#include <fmt/format.h>

#include <cstddef>
#include <exception>
#include <vector>

#include "foundation/constants.h"
#include "foundation/files.h"
#include "foundation/log.h"
#include "foundation/utilities.h"
#include "liveries/livery_scan_state.h"
#include "refdata/data_file_check.h"
#include "refdata/registration_files.h"

namespace cvl {

bool DontUseTitleSet::contains(const std::string& title) const {
  return lf_scanState().dontUseTitles.contains(title);
}

void DontUseTitleSet::insert(const std::string& title) const {
  lf_scanState().dontUseTitles.insert(title);
}

bool DontUseTitleSet::empty() const {
  return lf_scanState().dontUseTitles.empty();
}

namespace {

std::size_t lf_addDontUseTitles(const std::vector<RegcodesEntry>& entries) {
  std::size_t added = 0;
  for (const auto& entry : entries) {
    if (entry.regs.empty()) {
      DontUseTitles.insert(entry.title);
      ++added;
    }
  }
  return added;
}

void lf_dontUseTitlesFromAigFile() {
  std::vector<RegcodesEntry> entries;
  gf_readAIGRegcodes(entries);
  const auto added = lf_addDontUseTitles(entries);
  gf_log(fmt::format("{} don't use title{} read", added, gf_pluralSSize(added)));
}

void lf_dontUseTitlesFromFolder() {
  std::vector<RegcodesEntry> entries;
  gf_readMyRegcodesFiles(myRegcodesFolder, entries);
  const auto added = lf_addDontUseTitles(entries);
  gf_log(fmt::format("{} don't use title{} read from files in {}", added, gf_pluralSSize(added),
                     myRegcodesFolder.string()));
}

}  // namespace

void lf_readDontUseTitles() {
  try {
    if (gf_decryptAigRegcodes()) {
      lf_dontUseTitlesFromAigFile();
    }
    if (gf_countFilesInDirectory(myRegcodesFolder) > 0) {
      lf_dontUseTitlesFromFolder();
    }
  } catch (const std::exception& failure) {
    gf_logFlagged(fmt::format("exception: {}", failure.what()));
  }
}

}  // namespace cvl
