#pragma once

#include <string>
#include <unordered_map>

#include "liveries/livery_tables.h"

// The livery titles tied to registrations (tail numbers). Filled when the livery tables are built; empty until then.
namespace cvl {

extern std::unordered_map<std::string, TitleView> RegcodeTitleMap;

}  // namespace cvl
