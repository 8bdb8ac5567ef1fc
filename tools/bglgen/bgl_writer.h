#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// BGL scenery files for tests and samples: a file header, section headers with one 16-byte subsection header each,
// and records. Every record is a u16 id and a u32 size in bytes (counted from its first byte) followed by its body,
// padded to whole 32-bit words. All numbers are little-endian.
namespace cvl::bglgen {

inline constexpr std::uint32_t airportSectionType = 3;
inline constexpr std::uint32_t shortSubsectionFlags = 0x40000;

struct Parking {
  std::uint32_t nameKind = 10;  // 10 "g" (gate); 0 no prefix; 12 and above a letter
  std::uint32_t number = 1;
  std::uint32_t type = 8;  // 5 cargo, 1-7 and 14 ramp, 8-11 and 15 gates, 0, 12 and 13 no stand
  float radius = 20.0F;    // metres
  float heading = 90.0F;   // degrees
  double latitude = 0.0;
  double longitude = 0.0;
  std::uint32_t airlineCodes = 0;
};

struct Helipad {
  double latitude = 0.0;
  double longitude = 0.0;
  float width = 20.0F;  // metres
};

struct Airport {
  std::string ident;  // up to six characters of digits, letters and blanks
  std::int32_t elevationMillimetres = 0;
  std::vector<Helipad> helipads;
  std::vector<Parking> parkings;
  // Any further subrecords, as made by record(), after the helipads and the parking list.
  std::string extraSubrecords;
};

struct Section {
  std::uint32_t type = airportSectionType;
  std::uint32_t sizeFlags = shortSubsectionFlags;
  std::string records;
};

// The packed identifier: the base-38 value of the text, first character most significant, shifted left by 5.
std::uint32_t packIcao(std::string_view ident);
std::uint32_t rawLatitude(double degrees);
std::uint32_t rawLongitude(double degrees);

// A record of any id whose body (the bytes after the six header bytes) is padded to whole words.
std::string record(std::uint16_t id, std::string_view body);
// The same with the size field given as it is, for damaged records.
std::string recordWithSize(std::uint16_t id, std::uint32_t sizeInBytes, std::string_view body);

std::string helipadRecord(const Helipad& helipad);
std::string parkingListRecord(const std::vector<Parking>& parkings);
// An airport record: the 68-byte header, its helipads, then its parking list (when it has parkings), then the extras.
std::string airportRecord(const Airport& airport);

// A whole file of the sections, in order.
std::string bglFile(const std::vector<Section>& sections);
// A file with one airport section holding the airports.
std::string airportsFile(const std::vector<Airport>& airports);

}  // namespace cvl::bglgen
