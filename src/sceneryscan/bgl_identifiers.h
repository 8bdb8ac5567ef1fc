#pragma once

#include <cstdint>
#include <string>

// The names a BGL file gives airports and parking positions.
namespace cvl {

struct DecodedIcao {
  std::string text;
  bool valid = false;  // every character a digit or letter
};

// A packed identifier: the value shifted right by 5 is a base-38 number, its least significant digit last in the
// text (0 a blank, 1 "?", 2-11 the digits, 12-37 the letters).
DecodedIcao lf_decodeIcao(std::uint32_t packed);

// The characters from first to last in reverse order.
std::string lf_reversedString(std::string::const_iterator first, std::string::const_iterator last);

// Why an identifier is not an airport the traffic service reports (the numbers are the log's).
enum class IcaoRefusal : std::int32_t { none = 0, notFourCharacters = 2, notInDatabase = 3 };

struct IcaoCheckResult {
  std::string code;  // upper-cased when it has 3 or 4 characters
  IcaoRefusal refusal = IcaoRefusal::none;

  bool accepted() const { return refusal == IcaoRefusal::none; }
};

// Accepts a code of four characters that the airports database holds; an unknown one is written to the scan log.
IcaoCheckResult lf_isRealTrafficAirport(std::string code);

// The prefix of a parking name by its 6-bit kind: "", "r", "p", "np", "ep", "sep", "sp", "swp", "wp", "nwp", "g", and
// from kind 12 on one character (12 "A" to 37 "Z").
std::string lf_parkingNameCode(std::uint32_t kind);

}  // namespace cvl
