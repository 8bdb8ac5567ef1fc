#pragma once

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>

#include "parking/apf_data.h"

// Add-on airports that the maker's archive already holds are only linked: a one-line redirect file <ICAO>.txt in
// airports/my_simaddon or airports/my_thirdparty names the archived airport file that the airport-file lookup fetches.
namespace cvl {

// Set once the scan has linked an airport or written an airport file; cleared when a scan starts.
extern std::atomic<bool> addonScanSucceeded;

// Fills the airport's BGL path, publisher, manufacturer and creator and, when the archive holds the airport, writes
// its redirect file. True when linked. Links are made one at a time across all decoding tasks.
bool lf_linkAirport(ApfData& apf, const std::filesystem::path& bglPath);

// "archive/simaddon/<code>.xml" when the dbase lists the code as a simaddon airport.
std::optional<std::string> lf_existsAsSimaddon(const std::string& code);

// "archive/thirdparty/<publisher>/<code>.xml" (blanks of the publisher as "%20") when the current simulator's
// thirdparty list has an entry of exactly this publisher with an airport entry that begins with the code.
std::optional<std::string> lf_existsAsThirdparty(const std::string& publisher, const std::string& code);

// Whether the airport entry (a code, possibly followed by a number) begins with the code. The entry matches whether or
// not a number follows; when none does, that is logged.
bool lf_matchArptsEntry(const std::string& publisher, const std::string& code, const std::string& entry);

}  // namespace cvl
