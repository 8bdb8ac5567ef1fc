#pragma once

#include <optional>
#include <string>
#include <string_view>

// The line matchers of aircraft.cfg files. A "key = value" line matches when the whole line is the key (in any case)
// and a value with at least one non-blank character, blanks allowed around both; the value runs from its first to its
// last non-blank character and holds no line break. A value with a double quote in it is unquoted: the text between
// the first and the second double quote, empty when there is no second one.
namespace cvl {

// The unquoted value of a "key = value" line; nothing when the line is not one for that key.
std::optional<std::string> lf_matchKeyValue(std::string_view line, std::string_view key);

// These give true and the unquoted value when the line is one for their key and the value is not empty.
bool lf_matchTitleLine(std::string_view line, std::string& title);
bool lf_matchTextureLine(std::string_view line, std::string& texture);
bool lf_matchAtcIdLine(std::string_view line, std::string& atcId);
bool lf_matchParkingTypes(std::string_view line, std::string& parkingTypes);

// True for every icao_airline line: an empty value and "ZZZZ" give "ZZZ", any other value comes upper-cased.
bool lf_matchIcaoAirline(std::string_view line, std::string& airline);

// The icao_type_designator value cut to 4 characters and upper-cased; empty when the line is none.
std::string lf_matchTypeDesignator(std::string_view line);

// The section number text of a [fltsim.N] header line (in any case, blanks around it). A line beginning with "//" is
// no header; a line that is no proper header but holds "[fltsim." or "[FLTSIM." gives "10000", so that a damaged
// header still opens a section. Empty for any other line.
std::string lf_matchFltsimHeader(std::string_view line);

// Plain, case-sensitive probes for a repeated key.
bool lf_hasAtcIdKey(std::string_view line);
bool lf_hasParkingTypesKey(std::string_view line);

// An atc_id value: registrations separated by commas, each trimmed, not empty, at most 12 characters and without '*'.
// A single registration is given back; several give an empty registration (the livery carries none).
bool lf_validAtcId(std::string_view value, std::string& registration);

// Cuts the comment after the line's value: the first ';' or "//" that follows the '=' outside double quotes ends the
// line. A line without '=' stays whole.
void lf_dropValueComment(std::string& line);

// Whether text starts with prefix, letters compared without regard to case.
bool lf_startsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace cvl
