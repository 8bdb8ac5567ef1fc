#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/constants.h"
#include "liveries/livery_data.h"
#include "liveries/livery_tables.h"
#include "refdata/registration_files.h"

// The livery titles tied to registrations (tail numbers). Three sources are merged in this order, a later one
// overriding an earlier one: the registrations painted on the scanned liveries, the AIG-regcode file and the user's
// files in input/my_regcodes. Built with the livery tables, whose titles the views point into.
namespace cvl {

inline const std::filesystem::path offlineRegcodesReportPath{outputInfoFolder / "OfflineRegcodes.txt"};

// Registration -> the title of its livery.
extern std::unordered_map<std::string, TitleView> RegcodeTitleMap;
// The registrations of special titles that list exactly one registration.
extern std::set<std::string> UniqueRegcodes;
// Titles that belong to particular registrations and are not handed out at random; once per file entry.
extern std::vector<TitleView> SpecialTitles;
// The report of the file merge, written to OfflineRegcodes.txt.
extern std::vector<std::string> OfflineRegcodeLines;

// Maps the registration of every scanned livery that has one; the first livery of a registration keeps it, and the
// clashes are written to output/errors/InlineRegcodes.txt. Throws std::filesystem::filesystem_error when that folder
// cannot be created.
void lf_addInlineRegcodes(const LiveryList& scanned);
// Merges the AIG-regcode file and the user's files, writes OfflineRegcodes.txt and logs the counts. Never throws.
void lf_processOfflineRegcodes();
// Merges the entries of one source; entries whose title is not installed are skipped.
void lf_addRegcodesFromFile(const std::vector<RegcodesEntry>& entries);

// Whether the title is one of SpecialTitles.
bool lf_isSpecialTitle(TitleView title);

}  // namespace cvl
