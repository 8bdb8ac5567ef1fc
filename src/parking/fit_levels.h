#pragma once

#include <cstdint>

// The fit span of static parking: how many half hours a parked aircraft's stay must cover, as a level 0 to 47 (the
// MAX_FIT setting), and the hours that each level stands for.
namespace cvl {

// Hours shown for a fit level: by half hours up to 9 (0 and below give 0.5), then in coarser steps up to 24.0 from 44.
float gf_fitLevelToHours(std::int32_t level);

}  // namespace cvl
