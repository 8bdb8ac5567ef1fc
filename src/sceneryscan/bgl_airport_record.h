#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "parking/apf_data.h"
#include "sceneryscan/bgl_words.h"

// One airport record (id 0x56) of a BGL file: its elevation, its helipads (subrecords 0x26) and its first list of
// parking positions (subrecord 0xE7). Bad stands and helipads are dropped one by one with a scan-log line.
namespace cvl {

inline constexpr std::uint16_t bglAirportRecordId = 0x56;
inline constexpr std::uint16_t bglHelipadId = 0x26;
inline constexpr std::uint16_t bglParkingListId = 0xE7;
// The words of the airport record's header; its subrecords follow.
inline constexpr std::size_t bglAirportHeaderWords = 17;

// What is kept while one airport is decoded.
struct AirportDecoding {
  ApfData apf;
  std::unordered_set<std::string> usedNames;
  std::uint32_t helipadNumber = 1;
  std::vector<std::pair<double, double>> helipads;  // latitude, longitude of those taken
  std::string bglPath;                              // UTF-8
};

// Links the airport or decodes its stands and writes its generated file. In MSFS 2024 mode a linked airport is not
// decoded; in MSFS 2020 mode it is (so its scan-log lines appear), but no file is written for it. The record's header
// words must lie inside the file.
void lf_processAirportRecord(std::size_t record, const BglWords& words, std::size_t sizeInWords,
                             const std::string& code, const std::filesystem::path& bglPath);

// An airport with only its altitude: the elevation in feet, 0 when outside -1500..16000 feet.
ApfData lf_initAirportRecord(const BglWords& words, std::size_t record);

void lf_readHelipad(std::size_t subrecord, std::size_t sizeInWords, const BglWords& words, AirportDecoding& airport);
void lf_readParkingPositions(std::size_t subrecord, std::size_t sizeInWords, const BglWords& words,
                             AirportDecoding& airport);

// The name itself when new to the airport, else the first of name + "a" .. "j" that is; nothing (and a scan-log line)
// when all are taken.
std::optional<std::string> lf_makeUniqueId(const std::string& name, std::unordered_set<std::string>& usedNames,
                                           const std::string& bglPath);

}  // namespace cvl
