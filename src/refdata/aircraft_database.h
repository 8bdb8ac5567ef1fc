#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

// The aircraft database ("dbase"): aircraft types and their categories, similar types, wingspans, airlines, scenery
// publishers, add-on airports and registrations. It comes as input/dbase.enc; gf_readDbase fills the tables below once
// per process at start-up, on the worker thread, before any other thread reads them. Afterwards they are only read,
// by any thread, without a lock.
namespace cvl {

// Ordered sets of codes; they answer string_view look-ups without a copy.
using CodeSet = std::set<std::string, std::less<>>;

// An add-on scenery publisher and its airports, each an ICAO code possibly followed directly by a number.
struct ThirdPartyEntry {
  std::string pub;
  std::vector<std::string> arpts;
};

// What the database knows of one registration. None of the texts is validated; any may be empty.
struct DbaseRecord {
  std::string airl;
  std::string type;
  std::string opr;
  bool cargo{false};
};

// Half wingspans in nautical miles, by type and as the average of each AcCategory (indexed by its number).
struct HalfWingspans {
  std::map<std::string, double, std::less<>> byType;
  std::array<double, 6> categoryAverage{};
};

// Every ICAO type code the program knows, and the five category sets that gf_aircraftCategory consults.
extern CodeSet KnownTypes;
extern CodeSet HighPerfTypes;
extern CodeSet HeavyTypes;
extern CodeSet LargeTypes;
extern CodeSet BuzjetTypes;
extern CodeSet RotorcraftTypes;
// Read and checked like the other lists; nothing consults them yet.
extern CodeSet CargoTypes;
extern CodeSet CargoOperators;
extern CodeSet IcaoAirlines;
// Airports that have an archived "simaddon" airport file.
extern CodeSet SimAddonAirports;
// Groups of types that may stand for each other, each sorted by bytes.
extern std::vector<std::vector<std::string>> SimilarGroups;
// The spellings of each publisher, the first being the name reported; ordered by the unsplit names text. Every entry
// has at least one name, and no name is empty.
extern std::vector<std::vector<std::string>> Publishers;
extern HalfWingspans HalfWingspanTable;
// The largest half wingspan read, in nautical miles.
extern double maxHalfWingspan;
// A wrong type code, as liveries write it, to the correct one.
extern std::unordered_map<std::string, std::string> TypeFixes;
// The add-on scenery of MSFS 2020 and of MSFS 2024.
extern std::vector<ThirdPartyEntry> ThirdParties20;
extern std::vector<ThirdPartyEntry> ThirdParties24;
// Registration, exactly as the database writes it (never empty), to its record.
extern std::unordered_map<std::string, DbaseRecord> RegistrationTable;
// The registrations of at most five characters, in the order of the records: the keys gf_findShortRegIn tries.
extern std::vector<std::string> ShortRegistrations;

// Empties every table, then decrypts input/dbase.enc into input/dbase.xml, reads it and removes the plain file again
// (on every path). True when the tables are filled; false when the plain file does not parse. Throws
// std::runtime_error with the text of gf_decryptForReading when dbase.enc is missing or cannot be decrypted, and
// UserErrorException 61 when one of the list sections that must have values has none. Bad entries of
// the optional sections are logged and skipped.
bool gf_readDbase();

// Whether the plain dbase file at that path would fill the tables: it parses (false, logged, when not) and every list
// section that must have values has some (UserErrorException 61 when not). The tables are left alone.
bool gf_dbaseXmlReadable(const std::filesystem::path& plainPath);

}  // namespace cvl
