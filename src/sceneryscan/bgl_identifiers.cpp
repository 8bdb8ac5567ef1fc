#include "sceneryscan/bgl_identifiers.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "foundation/strings.h"
#include "refdata/airports_database.h"
#include "sceneryscan/scan_log.h"

namespace cvl {
namespace {

constexpr std::uint32_t icaoBase = 38;
constexpr std::size_t longestIcao = 10;

char lf_icaoCharacter(std::uint32_t digit) {
  if (digit == 0) {
    return ' ';
  }
  if (digit == 1) {
    return '?';
  }
  if (digit < 12) {
    return static_cast<char>('0' + digit - 2);
  }
  return static_cast<char>('A' + digit - 12);
}

constexpr std::array<std::string_view, 11> parkingNamePrefixes{"",   "r",   "p",  "np",  "ep", "sep",
                                                               "sp", "swp", "wp", "nwp", "g"};
constexpr std::uint32_t unnamedKind = 11;
constexpr std::uint32_t firstLetterKind = 12;
constexpr char letterKindOffset = 53;  // kind 12 gives 'A'

}  // namespace

std::string lf_reversedString(std::string::const_iterator first, std::string::const_iterator last) {
  return {std::make_reverse_iterator(last), std::make_reverse_iterator(first)};
}

DecodedIcao lf_decodeIcao(std::uint32_t packed) {
  std::uint32_t number = packed >> 5;
  if (number == 0) {
    return {" ", false};
  }
  std::string leastFirst;
  bool valid = true;
  while (number > 0 && leastFirst.size() < longestIcao) {
    const auto digit = number % icaoBase;
    valid = valid && digit > 1;
    leastFirst += lf_icaoCharacter(digit);
    number /= icaoBase;
  }
  valid = valid && number == 0;
  return {lf_reversedString(leastFirst.cbegin(), leastFirst.cend()), valid};
}

IcaoCheckResult lf_isRealTrafficAirport(std::string code) {
  if (code.size() == 3 || code.size() == 4) {
    std::transform(code.begin(), code.end(), code.begin(), gf_toUpperChar);
  }
  if (code.size() != 4) {
    return {std::move(code), IcaoRefusal::notFourCharacters};
  }
  if (!gf_isAirportCode(code)) {
    lf_scanLog(fmt::format("{} is not an airport supported by RealTraffic ", code));
    return {std::move(code), IcaoRefusal::notInDatabase};
  }
  return {std::move(code), IcaoRefusal::none};
}

std::string lf_parkingNameCode(std::uint32_t kind) {
  if (kind < firstLetterKind) {
    return kind == unnamedKind ? std::string{} : std::string{parkingNamePrefixes.at(kind)};
  }
  return std::string(1, static_cast<char>(kind + letterKindOffset));
}

}  // namespace cvl
