#pragma once

#include <cstdint>
#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "parking/park_airport_file.h"
#include "parking/park_pos.h"

// The learned file of an airport: the program's own record, in the airport file format under airports/learned, of
// what the airport file does not hold: the occupations observed at the stands, stands created or corrected by hand,
// and the static-parking settings used there. A learned file that says "handmade" replaces the airport file's stands.
//
// Both reading and saving place it by the airport file's publisher: airports/learned/stock, airports/learned/simaddon,
// else airports/learned/thirdparty/<publisher> (airports/learned/thirdparty itself when the publisher is empty).
namespace cvl {

// Options learned since the learned file was read or saved.
extern std::int32_t learnedUpdates;
// The park airport's learned file is handmade but could not be read whole (reading broke off, or a stand or option in
// it could not be used): it stays as the user wrote it, the airport file's stands are used, and the save leaves it
// alone. Cleared when the park airport is left.
extern bool handmadeFileUnread;
// The park airport's learned file could not be used whole and could not be kept as a generation either (a full disk,
// say). The save tries to keep it again and, while that fails, leaves the file alone, so that what its reading left
// out is not lost. Cleared once it is kept, and when the park airport is left.
extern bool learnedGenerationFailed;

// The folder of the learned files of that publisher. Separators, "%20" and dot names in the publisher cannot lead
// out of the folder.
std::filesystem::path lf_learnedFolderOf(const std::string& publisher);

// The learned file of the airport with that ICAO code: "<code>.xml" in the publisher's folder, whatever the airport
// file is called, so that reading and saving meet in one file. Empty for an empty code.
std::filesystem::path lf_learnedPathOf(const std::string& code, const std::string& publisher);

// Applies the learned file to the stands just read from the airport file, and its settings. An unreadable file, one
// whose reading breaks off, and one with an option left out are kept as one generation (the next save replaces the
// file, without what could not be read); when that copy fails, learnedGenerationFailed is set.
void lf_readLearned(const std::filesystem::path& path, const ParkAirportFile& airportFile, std::vector<ParkPos>& stands,
                    bool& handmade);

// Applies one parkpos of a learned file to its stand: the radius and cargo corrections, then (when asked) the learned
// options, each numbered after the stand's last one; an option already known for the same half hours is left out.
// Whether it left out an option that cannot be used (without half hours or weekday, or with a text that is not clean),
// which is logged.
bool lf_readLearnedParkPos(pugi::xml_node node, ParkPos& stand, bool readOptions, const std::filesystem::path& path);

// Writes the park airport's learned file from its stands, unless it is a handmade file that could not be read whole or
// one that still cannot be kept as a generation, and resets learnedUpdates. Never throws: a failure is logged and
// leaves the file already there as it was.
void gf_saveLearnedApf();

}  // namespace cvl
