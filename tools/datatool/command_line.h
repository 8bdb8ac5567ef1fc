#pragma once

#include <ostream>
#include <span>
#include <string>

namespace cvl::datatool {

// Runs one datatool command (the program's arguments without its name):
//   encrypt IN.xml OUT.enc
//   site SAMPLE_DIR SITE_DIR [--version KEY=MAJOR.MINOR.PATCH]... [--installer MAJOR.MINOR.PATCH]
//                            [--simaddon-airports CODE,CODE...]
// Returns 0 on success, 1 when the work failed, 2 for a wrong command line (the usage goes to err).
int runDatatool(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

}  // namespace cvl::datatool
