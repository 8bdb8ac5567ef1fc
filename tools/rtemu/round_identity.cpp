#include "rtemu/round_identity.h"

#include <fmt/format.h>

#include <charconv>
#include <cstdint>
#include <optional>

#include "rtemu/traffic_fields.h"

namespace cvl::rtemu {
namespace {

constexpr std::size_t addressField = 1;
constexpr std::size_t callsignField = 9;
constexpr std::uint32_t largestAddress = 0xFFFFFF;
constexpr std::uint32_t addressBlock = 0x1000;
constexpr std::uint32_t addressStep = 0x10;
constexpr unsigned callsignDigits = 36;
constexpr std::string_view digitLetters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

std::optional<std::string> lf_addressForRound(std::string_view address, unsigned round) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(address.data(), address.data() + address.size(), value);
  if (error != std::errc{} || end != address.data() + address.size() || value > largestAddress) {
    return std::nullopt;
  }
  const std::uint32_t block = value - value % addressBlock;
  const std::uint32_t moved = static_cast<std::uint32_t>((value % addressBlock + addressStep * round) % addressBlock);
  return fmt::format("{}", block + moved);
}

std::optional<std::string> lf_callsignForRound(std::string_view callsign, unsigned round) {
  if (callsign.size() < 2) {
    return std::nullopt;
  }
  const std::size_t high = digitLetters.find(callsign[callsign.size() - 2]);
  const std::size_t low = digitLetters.find(callsign.back());
  if (high == std::string_view::npos || low == std::string_view::npos) {
    return std::nullopt;
  }
  const std::size_t count = (high * callsignDigits + low + round) % (callsignDigits * callsignDigits);
  std::string renamed(callsign.substr(0, callsign.size() - 2));
  renamed += digitLetters[count / callsignDigits];
  renamed += digitLetters[count % callsignDigits];
  return renamed;
}

// The line with the field put in place of field `index` (which the caller found).
void lf_replaceField(std::string& line, std::size_t index, const std::string& field) {
  const auto span = fieldSpan(line, index);
  line.replace(span->begin, span->length, field);
}

}  // namespace

std::string lineForRound(std::string_view line, unsigned round) {
  std::string renamed(line);
  const auto address = fieldSpan(line, addressField);
  const auto callsign = fieldSpan(line, callsignField);
  if (round == 0 || !address || !callsign) {
    return renamed;
  }
  const auto newAddress = lf_addressForRound(line.substr(address->begin, address->length), round);
  if (!newAddress) {
    return renamed;
  }
  if (const auto newCallsign = lf_callsignForRound(line.substr(callsign->begin, callsign->length), round)) {
    lf_replaceField(renamed, callsignField, *newCallsign);
  }
  lf_replaceField(renamed, addressField, *newAddress);
  return renamed;
}

}  // namespace cvl::rtemu
