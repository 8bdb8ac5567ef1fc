#include "parking/quality_factors.h"

#include <fmt/format.h>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <gsl/narrow>

namespace cvl {
namespace {

// The thresholds compare the stored radius in nautical miles, so every stand of an ordinary size weighs 0.3. Other
// installations and the published airport files carry factors computed this way; they must stay comparable.
double lf_standWeight(const ParkPos& stand) {
  if (stand.radius <= 7.0) {
    return 0.3;
  }
  return stand.radius <= 10.0 ? 1.5 : 1.0;
}

struct KindTally {
  std::int64_t options = 0;
  std::bitset<8> days;
  std::int64_t halfHours = 0;

  double score() const {
    return static_cast<double>(std::min<std::int64_t>(20 * options, 4000)) + 10000.0 +
           100.0 * static_cast<double>(days.count()) +
           2.0 * static_cast<double>(std::min<std::int64_t>(halfHours, 600));
  }
};

std::int32_t lf_factor(double sum, double weights) {
  return gsl::narrow<std::int32_t>(std::clamp(std::round(sum / weights * 0.00625), 0.0, 100.0));
}

}  // namespace

QualityFactors gf_computeQualityFactors(const std::vector<ParkPos>& stands) {
  const bool anyOption =
      std::any_of(stands.begin(), stands.end(), [](const ParkPos& stand) { return !stand.options.empty(); });
  if (!anyOption) {
    return {};
  }
  double weights = 0.0;
  double realSum = 0.0;
  double softSum = 0.0;
  for (const ParkPos& stand : stands) {
    const double weight = lf_standWeight(stand);
    weights += weight;
    KindTally real;
    KindTally soft;
    for (const StandOption& option : stand.options) {
      if (option.id == 0) {
        continue;
      }
      KindTally& tally = option.real != 0 ? real : soft;
      ++tally.options;
      if (option.day >= 1 && option.day <= 7) {
        tally.days.set(option.day);
      }
      tally.halfHours += static_cast<std::int64_t>(option.hh.count());
    }
    realSum += real.options > 0 ? real.score() * weight : 0.0;
    softSum += soft.options > 0 ? soft.score() * weight : 0.0;
  }
  return {lf_factor(realSum, weights), lf_factor(softSum, weights)};
}

std::string gf_qualityText(const QualityFactors& factors) {
  if (factors.Qf_real < 0 && factors.Qf_soft < 0) {
    return "  ";
  }
  if (factors.Qf_real < 45) {
    return fmt::format("{:2}/{:2}", factors.Qf_real, factors.Qf_soft);
  }
  return fmt::format("{:2}", factors.Qf_real);
}

}  // namespace cvl
