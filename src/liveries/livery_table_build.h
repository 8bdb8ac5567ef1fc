#pragma once

#include "liveries/livery_data.h"

// The building of every livery table from the scanned liveries, once per run cycle at start-up. Worker thread, before
// any aircraft is matched.
namespace cvl {

// Empties the livery tables and builds them again from the scanned list (sorted by airline, type and title): shows the
// livery count, builds the airline and model tables, merges the registrations of the liveries and of the registration
// files, builds the similar-model tables and logs the category and generic-livery summaries. The list itself is left
// to the caller. Throws std::filesystem::filesystem_error when output/errors cannot be created for the report of
// clashing in-line registrations.
void gf_buildLiveryTables(const LiveryList& scanned);

// Shows on the header how many liveries the tables hold.
void gf_showLiveryCount();

}  // namespace cvl
