#include "simlink/sim_results.h"

#include <utility>

namespace cvl {

std::mutex simResultMutex;
std::vector<SimResult> simResults;

void gf_postSimResult(const SimResult& result) {
  const std::lock_guard lock{simResultMutex};
  simResults.push_back(result);
}

std::vector<SimResult> gf_takeSimResults() {
  const std::lock_guard lock{simResultMutex};
  return std::exchange(simResults, {});
}

}  // namespace cvl
