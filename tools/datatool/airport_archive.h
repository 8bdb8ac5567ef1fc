#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace cvl::datatool {

// The airport files the program downloads, laid out from the sample's airports/archive folder (stock/<ICAO>.xml,
// simaddon/<ICAO>.xml, thirdparty/<publisher>/<ICAO>.xml):
//   MSFS/archive/** holds every file, for the 2020 simulator and for the stock and simaddon names of both;
//   MSFS2024/archive/thirdparty/** holds the thirdparty files again, for the 2024 simulator;
//   MSFS/archive/simaddon/<ICAO>.xml exists for every simaddon airport, taken from stock/ when simaddon/ lacks it.
// A simaddon airport that has neither file would be a redirect into nothing: std::runtime_error before any airport file
// is written (versions.json then announces nothing). A sample without an archive folder gives only that check.
void layOutAirportArchive(const std::filesystem::path& sampleArchive, const std::filesystem::path& siteDir,
                          const std::vector<std::string>& simAddonAirports);

}  // namespace cvl::datatool
