#pragma once

#include <set>
#include <string>
#include <vector>

#include "engine/ac_identity.h"

// The aircraft the simulator refused to create, and the live aircraft without a livery match. A refused creation is
// almost always a livery that is listed but cannot be loaded: its title is remembered so that the livery matchers
// never choose it again. Worker thread.
namespace cvl {

// The refused livery titles, in the order they were refused (a title refused twice is there twice). The texts are
// copies: the livery tables they came from may be rebuilt meanwhile.
extern std::vector<std::string> FailedTitles;
// "TYPE AIRLINE" of each refused creation, for the livery matching summary.
extern std::set<std::string> failedCreations;

// Tells the user, remembers the title and the type with the airline. The 20th refused title ends the run with
// UserErrorException 81. Does nothing while the program stops.
void gf_reportCreationFailure(const AcIdentity& identity);
// Whether the title was refused before.
bool gf_isFailedTitle(std::string_view title);

// Writes the live aircraft without a livery match to the log; nothing when there is none.
void gf_logNoMatch();

}  // namespace cvl
