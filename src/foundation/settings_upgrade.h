#pragma once

#include <cstdint>

#include "foundation/parameters.h"

// Converting what an older version of the program left in the settings file and the program's folder, and keeping the
// values derived from settings in step with them.
namespace cvl {

// Records the running version in PROGRAM_VERSION. On the first start of a newer version it removes the settings,
// files and folders that older versions left. True when the stored version is too old to convert (before 11.0.2):
// the caller then writes every default. Removals that fail throw the filesystem's error.
bool lf_upgradeParameters();

// Removes the first entry named after the setting's key from parameters.xml; 1 when one was removed, else 0.
int lf_removeParameter(const Parameter& parameter);

// Sets RANGE (clamped to its choices, selected in its combo box when it is one of them) and the derived traffic
// radius, which follows the argument unclamped. Returns the radius in metres. Does not save RANGE.
std::int32_t gf_setRange(std::int32_t range);

// Sets MAX_FIT_FL to the hours that MAX_FIT's count of half-hour levels stands for and selects it in its combo box.
void gf_syncMaxFitFl();

}  // namespace cvl
