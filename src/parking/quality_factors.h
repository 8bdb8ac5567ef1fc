#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "parking/park_pos.h"

// How much occupation knowledge the stands of the park airport carry, rated 0 to 100 separately for real and for soft
// options; -1 when there is nothing to rate.
namespace cvl {

struct QualityFactors {
  std::int32_t Qf_real = -1;
  std::int32_t Qf_soft = -1;
};

// {-1, -1} when no stand has an option. Otherwise every stand weighs in (all stands of ordinary size alike), and each
// kind of option scores by how many options there are, on how many weekdays and over how many half hours.
QualityFactors gf_computeQualityFactors(const std::vector<ParkPos>& stands = parkPositions);

// Two blanks when there is nothing to rate, "real/soft" while the real factor is below 45, else the real factor alone.
std::string gf_qualityText(const QualityFactors& factors);

}  // namespace cvl
