#pragma once

#include <optional>
#include <string>

// output/LiveriesScanned.xml: the liveries of the last successful scan, from which every start-up builds the livery
// tables. root holds the meta header and liveries, with one liv element per livery: airl, type, cargo (only for a
// cargo livery), title and atcid (only when there is a registration). Worker thread.
namespace cvl {

// Writes ScannedLiveries, in list order; an empty list writes nothing and leaves the previous file. When the file
// could not be saved, the previous file stays and the answer is why: the system's error text.
std::optional<std::string> lf_writeScannedLiveries();

// Replaces ScannedLiveries by the file's liveries (folder 0), sorted. Throws UserErrorException 51 when the file
// does not load, 52 when its root has no liveries element, 999 for a livery without airl, type or title, and 533 when
// it holds no livery.
void gf_readScannedLiveries();

}  // namespace cvl
