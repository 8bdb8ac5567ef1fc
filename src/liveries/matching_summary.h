#pragma once

#include <string>
#include <vector>

#include "engine/ac_category.h"

// What the log tells of the livery tables and of the matching: at table build, the liveries of each category, the
// models of the small categories and of the generic airline; at the end of a run, the matches by step and the types
// the simulator could not create. Worker thread.
namespace cvl {

// The pax and cargo livery counts of the category and its models; a category without liveries switches off its
// traffic option (Light, HighPerf, Rotorcraft). Fills CategoryLiveryModels for the small categories.
void lf_categorySummary(AcCategory category);
// Appends the models to the CategoryLiveryModels list of the first flag set (none: no list) and logs them, 20 a line.
void lf_fillCategoryVectors(bool light, bool buzjet, bool rotorcraft, const std::vector<std::string>& models);
// The models that have a livery of the generic airline "ZZZ".
void lf_genericLiverySummary();
// The live aircraft's matches by step and the refused creations; nothing when no live aircraft was matched.
void gf_liveryMatchingSummary();

}  // namespace cvl
