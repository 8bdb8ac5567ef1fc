#pragma once

#include <algorithm>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

// Byte-wise text operations shared by the data-file readers, the registration files and the simulator link. None of
// them knows about multi-byte characters.
namespace cvl {

// Whitespace is exactly blank, tab, line feed and carriage return.
std::string gf_trim(std::string_view text);

// The pieces between the delimiters, each trimmed. An empty text has no piece; delimiters at either end or side by
// side give empty pieces.
std::vector<std::string> gf_split(std::string_view text, char delimiter);
std::vector<std::string> gf_splitByComma(std::string_view text);

// The trimmed comma pieces sorted by bytes, without repeats (so any empty pieces become one empty string first).
std::list<std::string> gf_splitCommaTrimmed(std::string_view text);

// A comma list with whitespace in it becomes its trimmed pieces joined by ','; a text without whitespace is left alone.
void gf_trimCommaList(std::string& text);

// Upper case of the letters a to z only, whatever the process locale.
char gf_toUpperChar(char c);

// Lower case of the letters A to Z only, and upper case of the letters a to z only, whatever the process locale.
std::string gf_asciiLower(std::string_view text);
std::string gf_asciiUpper(std::string_view text);

// Whether text, upper-cased byte by byte, equals expected (which callers give in upper case).
bool gf_equalsUpper(std::string_view expected, std::string_view text);

// Whether any of the fragments (texts convertible to std::string_view) occurs in the text.
bool gf_containsAny(std::string_view text, const auto& fragments) {
  return std::any_of(fragments.begin(), fragments.end(),
                     [text](std::string_view fragment) { return text.find(fragment) != std::string_view::npos; });
}

// True only when pattern is name followed by one '*'.
bool gf_wildcardMatch(std::string_view name, std::string_view pattern);

// The text form of a simulator object id: decimal while the simulator is MSFS 2020, else lowercase hexadecimal.
std::string gf_toHex(std::uint32_t objectId);

}  // namespace cvl
