#pragma once

#include "engine/ac_category.h"

// The user's choice of traffic: light aircraft, high-performance aircraft and helicopters each have an option; the
// other categories are always shown.
namespace cvl {

bool gf_categoryShown(AcCategory category);

}  // namespace cvl
