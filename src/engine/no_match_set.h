#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>

// The key texts (airline/type, separator, registration) of the aircraft for which no livery was found. The spawn step
// fills it; the periodic jobs log it and empty it; the reset of the traffic state empties it.
namespace cvl {

extern std::unordered_set<std::string> noMatchSet;
// Notes of aircraft without a match that found the set full: a sender can report ever new registrations, and the
// set and its list in Log.txt are to stay small.
extern std::uint64_t noMatchLeftOut;

// Notes the key text of an aircraft for which no livery was found; only counted while the set is full.
void gf_noteNoMatch(std::string key);
// Empties the set and the count.
void gf_forgetNoMatches();

}  // namespace cvl
