#pragma once

#include <filesystem>
#include <pugixml.hpp>

#include "foundation/file_meta.h"
#include "parking/apf_data.h"

// Writing airport files: a whole generated file, or the learned file of the park airport.
namespace cvl {

enum class ApfMode : int {
  learned = 0,  // only what differs from the airport file, the options and the settings of the airport
  full = 1,     // every stand with all its attributes and no options
};

// Writes the file with the program's header for that simulator. False when the header, a node or a parameter cannot
// be made, or when the file cannot be saved (a file already there then stays as it was).
bool gf_writeApf(const ApfData& apf, const std::filesystem::path& path, ApfMode mode, SimType sim);

// Appends the parameters block to the root node. A learned file of a handmade park airport also carries its altitude
// and quality factors, and every learned file the static-parking settings in force.
bool gf_writeApfParameters(pugi::xml_node rootNode, const ApfData& apf, ApfMode mode);

}  // namespace cvl
