#pragma once

#include <string>
#include <unordered_set>

// The livery titles that must not be used: the registration sources list them without any registration. Read at the
// start of every livery scan, before any aircraft.cfg is read, and only read by the scan's threads afterwards.
namespace cvl {

extern std::unordered_set<std::string> DontUseTitles;

// Adds the don't-use titles of input/AIG-regcodes.enc and of the user's files in input/my_regcodes. Failures are
// logged; the titles read until then stay.
void lf_readDontUseTitles();

}  // namespace cvl
