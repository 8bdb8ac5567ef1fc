#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "refdata/aircraft_database.h"

// Look-ups of RegistrationTable. Registrations (tail numbers, "regcodes") arrive with or without the dash after the
// country prefix, so a look-up tries the forms of gf_regVariants in turn. Any thread, once the database is read.
namespace cvl {

// The forms to try, in order. A registration of at least five bytes that does not begin with a capital 'N' and has no
// '-' gives [first two + "-" + rest, first + "-" + rest, itself]; any other gives [itself].
std::vector<std::string> gf_regVariants(std::string_view registration);

// A copy of the record of the first form that is a key; no value for an empty text or when no form is listed.
std::optional<DbaseRecord> gf_findDbaseRecord(std::string_view registration);

// The record's airline (operator); empty for an empty text or when no record is found.
std::string gf_regAirline(std::string_view registration);
std::string gf_regOperator(std::string_view registration);

// The first registration of at most five characters, in the order of the database's records, that occurs in the text
// exactly (case-sensitive); no value when none does.
std::optional<std::string> gf_findShortRegIn(std::string_view text);

}  // namespace cvl
