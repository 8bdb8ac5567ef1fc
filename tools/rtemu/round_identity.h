#pragma once

#include <string>
#include <string_view>

// A looped replay shows other aircraft in each round: were the same ones reported again, every aircraft would jump
// back to where the recording starts. Round 0 is the recording as it is; each later round gives every aircraft its own
// new address and callsign, the same in every replay, and keeps the rest (registration, type, route) as it is.
namespace cvl::rtemu {

// The traffic line with the address (field 1) moved by 16 per round within its block of 4096 (so an address keeps its
// country), and the last two characters of the callsign (field 9), read as a number in base 36 (0-9, A-Z), counted up
// by the round. A callsign that does not end in two such characters ("null" among them) stays, and so does a line
// without a plain address: recordings of bad input keep their bad lines.
std::string lineForRound(std::string_view line, unsigned round);

}  // namespace cvl::rtemu
