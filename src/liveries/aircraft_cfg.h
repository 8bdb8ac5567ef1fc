#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "liveries/livery_data.h"

// The reader of an ordinary aircraft.cfg: every numbered [fltsim.N] section gives at most one livery. What it rejects
// goes into the scan reports. Runs on a scan task thread.
namespace cvl {

using CfgLines = std::vector<std::string>;

// The liveries of one aircraft.cfg; empty when the file cannot be read or has no model.
LiveryList lf_searchLiveriesinFile(std::uint32_t folderPriority, const std::filesystem::path& path);

// The file's lines as UTF-8 text; nothing, and a log line, when it has no usable encoding (written with
// logNoEncoding) or cannot be read.
std::optional<CfgLines> lf_readCfgLines(const std::filesystem::path& path, void (*logNoEncoding)(std::string_view));

// The section numbering: false (the file is skipped) for a number that does not fit 32 bits or is above 10000.
bool lf_checkFltsimSections(const CfgLines& lines, const std::filesystem::path& path);

LiveryList lf_procesFltSimSections(std::uint32_t folderPriority, const CfgLines& lines, const std::string& model,
                                   const std::filesystem::path& path, const std::filesystem::path& folder);

// None or one livery.
LiveryList lf_procesFltSimSection(std::uint32_t folderPriority, CfgLines section, const std::string& model,
                                  const std::filesystem::path& path, const std::filesystem::path& folder);

void lf_reportInvalidAirline(std::string_view airline, const std::filesystem::path& path, std::string_view header);

// Appends "<folder> <header> <what>" to the incomplete-section report.
void lf_reportSection(const std::filesystem::path& folder, std::string_view header, std::string_view what);

// Whether a livery may carry the airline code: the generic airline or an airline the aircraft database knows.
bool lf_isLiveryAirline(std::string_view airline);

// The airline the aircraft database gives the registration (tried in its usual spellings); nothing when it gives
// none.
std::optional<std::string> lf_airlineOfRegistration(std::string_view registration);

// Hands every fltsim section of the lines to process: its header line and the lines after it, up to the next header
// or the next line for which endsSection holds (that line belongs to no section).
void lf_forEachFltsimSection(const CfgLines& lines, const std::function<bool(std::string_view)>& endsSection,
                             const std::function<void(CfgLines&&)>& process);

// Removes the empty lines and "//" comment lines at the end of a section.
void lf_dropTrailingComments(CfgLines& section);

}  // namespace cvl
