#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Small texts that several subsystems share: socket error texts, numbers for the main window, percentages, plural
// endings and the star banners that frame blocks of the log.
namespace cvl {

// "{number} {English text}" of a Winsock error number, "{number} Unknown errror code" for one outside the table.
std::string gf_wsaErrorText(std::int32_t errorNumber);

// One decimal when the value has a fractional part, none otherwise.
std::string gf_numberText(float value);

// part * 100 / whole rounded half away from zero; 0 when whole is below 1. Clamped to the 32-bit range.
std::int32_t gf_percent(std::int64_t part, std::int64_t whole);

// "s" behind a counted word, "" for a count of 1 (and, for the signed forms, a negative count).
std::string_view gf_pluralS(std::int64_t count);
std::string_view gf_pluralSInt(std::int32_t count);
std::string_view gf_pluralSSize(std::uint64_t count);

// A log banner as wide as widthA + widthB rounded up to even: the text framed by stars and blanks, only stars for an
// empty text, the text alone when it is too long to frame. Optionally preceded and followed by a line feed.
std::string gf_starBanner(std::int32_t widthA, std::int32_t widthB, bool leadingLineFeed, bool trailingLineFeed,
                          std::string_view text);

}  // namespace cvl
