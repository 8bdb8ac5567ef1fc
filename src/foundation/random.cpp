#include "foundation/random.h"

#include <algorithm>

#include "foundation/settings_catalogue.h"

namespace cvl {

thread_local std::mt19937 randomEngine{std::random_device{}()};

std::int64_t gf_randomBelow(std::int64_t n) {
  if (!RANDOM.value.load() || n < 2) {
    return 0;
  }
  return static_cast<std::int64_t>(randomEngine() % static_cast<std::uint64_t>(n));
}

void gf_shuffle(std::vector<std::string>& list) {
  if (RANDOM.value.load() && list.size() > 1) {
    std::shuffle(list.begin(), list.end(), randomEngine);
  }
}

double gf_randomVariation(double value, double percent) {
  const bool minus = (randomEngine() & 1U) != 0;
  if (percent <= 0.0) {
    return value;
  }
  const double change = value * percent / 100.0;
  return minus ? value - change : value + change;
}

void gf_reseedRandomEngine(std::uint32_t seed) {
  randomEngine.seed(seed);
}

}  // namespace cvl
