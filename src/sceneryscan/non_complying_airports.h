#pragma once

#include <filesystem>
#include <string>

// Add-on airports of MSFS 2024 whose BGL files carry no usable ICAO identifier ("non-complying" airports): their code
// is looked for in the file's name, in the package's title and in the folder names of the path, and the airport is
// linked when the maker's archive holds it.
namespace cvl {

// Reports the file and links its airport when a code is found. No airport file is generated on this path.
void lf_finishBglAirport(const std::filesystem::path& bglPath);

// The code found for the file, or empty.
std::string lf_findNonComplyingIcao(const std::filesystem::path& bglPath);

}  // namespace cvl
