#pragma once

// The calculation of the static aircraft of a park airport whose files have just been read. Worker thread.
namespace cvl {

// Selects the wanted number of static aircraft for now into parkedEntries, the best fitting last (they are made
// first). With none found the parking controls come back at once; otherwise when the entries are used up.
void lf_calcStaticParked();

}  // namespace cvl
