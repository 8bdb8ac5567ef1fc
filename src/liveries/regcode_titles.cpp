#include "liveries/regcode_titles.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdint>
#include <exception>

#include "app/status_line.h"
#include "foundation/files.h"
#include "foundation/log.h"
#include "foundation/text_encoding.h"
#include "foundation/text_files.h"
#include "foundation/utilities.h"
#include "liveries/scan_reports.h"
#include "refdata/data_file_check.h"

namespace cvl {

std::unordered_map<std::string, TitleView> RegcodeTitleMap;
std::set<std::string> UniqueRegcodes;
std::vector<TitleView> SpecialTitles;
std::vector<std::string> OfflineRegcodeLines;

namespace {

struct MergeCounts {
  std::int32_t added = 0;
  std::int32_t replaced = 0;
  std::int32_t special = 0;
};

std::string lf_mergeSummary(const MergeCounts& counts) {
  std::string line = fmt::format("{} new regcode{} added", counts.added, gf_pluralSInt(counts.added));
  if (counts.replaced > 0) {
    line += fmt::format(", {} regcode{} replaced", counts.replaced, gf_pluralSInt(counts.replaced));
  }
  if (counts.special > 0) {
    line += fmt::format(", {} regcode{} defined as special", counts.special, gf_pluralSInt(counts.special));
  }
  return line;
}

void lf_mapRegistration(const RegcodesEntry& entry, const std::string& registration, TitleView title,
                        MergeCounts& counts) {
  const auto [mapped, added] = RegcodeTitleMap.try_emplace(registration, title);
  if (added) {
    ++counts.added;
  } else if (mapped->second != title) {
    OfflineRegcodeLines.push_back(
        fmt::format("   regcode {} for '{}', instead of the same for '{}'", registration, title, mapped->second));
    mapped->second = title;
    ++counts.replaced;
  }
  if (entry.special && entry.regs.size() == 1) {
    UniqueRegcodes.insert(registration);
  }
}

void lf_writeInlineClashes(const std::vector<std::string>& lines) {
  std::filesystem::create_directories(outputErrorsFolder);
  if (!gf_writeLines(lines, inlineRegcodesReportPath)) {
    gf_logFlagged(fmt::format("Could not write {}", gf_pathToUtf8(inlineRegcodesReportPath)));
  }
  gf_log(fmt::format("{} in-line regcode clashes, see '{}'", lines.size(), gf_pathToUtf8(inlineRegcodesReportPath)));
}

void lf_processAigRegcodeFile() {
  OfflineRegcodeLines.push_back(fmt::format("Processing file {}", gf_pathToUtf8(aigRegcodesXmlPath)));
  std::vector<RegcodesEntry> entries;
  if (!gf_readAIGRegcodes(entries)) {
    OfflineRegcodeLines.push_back(fmt::format("There were errors processing the AIG-regcode file '{}', see Log.txt",
                                              gf_pathToUtf8(aigRegcodesXmlPath)));
  }
  lf_addRegcodesFromFile(entries);
}

void lf_processRegcodeFolder() {
  if (gf_countFilesInDirectory(myRegcodesFolder) == 0) {
    return;
  }
  OfflineRegcodeLines.push_back(fmt::format("Processing files in {}", gf_pathToUtf8(myRegcodesFolder)));
  std::vector<RegcodesEntry> entries;
  if (!gf_readMyRegcodesFiles(myRegcodesFolder, entries)) {
    gf_setStatusLine(fmt::format("There were errors processing the regcode files in folder '{}', see Log.txt",
                                 gf_pathToUtf8(myRegcodesFolder)),
                     true);
  }
  lf_addRegcodesFromFile(entries);
}

void lf_writeOfflineReport() {
  std::filesystem::remove(offlineRegcodesReportPath);
  if (OfflineRegcodeLines.empty()) {
    return;
  }
  std::filesystem::create_directories(outputInfoFolder);
  if (gf_writeLines(OfflineRegcodeLines, offlineRegcodesReportPath)) {
    gf_log(fmt::format("Offline regcode files processed, results can be found in '{}'",
                       gf_pathToUtf8(offlineRegcodesReportPath)));
  }
}

void lf_logSpecialCounts() {
  if (!SpecialTitles.empty()) {
    gf_log(fmt::format("{} special liveries", SpecialTitles.size()));
  }
  if (!UniqueRegcodes.empty()) {
    gf_log(fmt::format("{} unique liveries", UniqueRegcodes.size()));
  }
}

}  // namespace

void lf_addInlineRegcodes(const LiveryList& scanned) {
  std::vector<std::string> clashes;
  for (const LiveryData& livery : scanned) {
    if (livery.atcid.empty()) {
      continue;
    }
    const TitleView title = lf_findStoredTitle(livery.title);
    if (title.empty()) {
      clashes.push_back(fmt::format("==> [{:3} {:4}] {} '{}' not available, system error, should not happen?",
                                    livery.airl, livery.type, livery.atcid, livery.title));
      continue;
    }
    const auto [mapped, added] = RegcodeTitleMap.try_emplace(livery.atcid, title);
    if (!added && mapped->second != title) {
      clashes.push_back(fmt::format("{} '{}' => already in use by '{}'", livery.atcid, title, mapped->second));
    }
  }
  if (!clashes.empty()) {
    lf_writeInlineClashes(clashes);
  }
}

// The user's own files are merged even when the AIG-regcode file is missing or cannot be deciphered.
void lf_processOfflineRegcodes() {
  OfflineRegcodeLines.clear();
  try {
    if (gf_decryptAigRegcodes()) {
      lf_processAigRegcodeFile();
    }
    lf_processRegcodeFolder();
    lf_writeOfflineReport();
    lf_logSpecialCounts();
  } catch (const std::exception& failure) {
    gf_logFlagged(fmt::format("exception: {}", failure.what()));
  }
}

void lf_addRegcodesFromFile(const std::vector<RegcodesEntry>& entries) {
  MergeCounts counts;
  for (const RegcodesEntry& entry : entries) {
    const TitleView title = lf_findStoredTitle(entry.title);
    if (title.empty()) {
      continue;
    }
    for (const std::string& registration : entry.regs) {
      if (!registration.empty()) {
        lf_mapRegistration(entry, registration, title, counts);
      }
    }
    if (entry.special) {
      SpecialTitles.push_back(title);
      ++counts.special;
    }
  }
  OfflineRegcodeLines.push_back(lf_mergeSummary(counts));
}

bool lf_isSpecialTitle(TitleView title) {
  return std::find(SpecialTitles.begin(), SpecialTitles.end(), title) != SpecialTitles.end();
}

}  // namespace cvl
