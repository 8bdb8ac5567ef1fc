#pragma once

#include <string>
#include <unordered_set>

// The key texts (airline/type, separator, registration) of the aircraft for which no livery was found. The spawn step
// fills it; the periodic jobs log it and empty it; the reset of the traffic state empties it.
namespace cvl {

extern std::unordered_set<std::string> noMatchSet;

}  // namespace cvl
