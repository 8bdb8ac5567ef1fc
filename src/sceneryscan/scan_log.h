#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/constants.h"

// The add-on airport scan's own report: what every decoding task found worth telling, gathered in memory by any
// thread and written once at the end of the scan.
namespace cvl {

inline const std::filesystem::path airportsScanLogPath{outputInfoFolder / "AirportsScanLog.txt"};

// Appends one line; any thread.
void lf_scanLog(std::string line);

// Makes room for a scan's lines before it starts.
void lf_reserveScanLog();

// The lines gathered so far, leaving the log empty.
std::vector<std::string> lf_takeScanLogLines();

}  // namespace cvl
