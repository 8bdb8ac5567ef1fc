#include "support/fault_tally.h"

#include <fmt/format.h>

namespace cvl::test {

void FaultTally::add(const std::string& what, double second) {
  auto& [first, steps] = faults_[what];
  if (steps++ == 0) {
    first = second;
  }
}

std::string FaultTally::list() const {
  std::string list;
  for (const auto& [what, seen] : faults_) {
    list += fmt::format("{} (from {:.2f} s, {} steps)\n", what, seen.first, seen.second);
  }
  return list;
}

}  // namespace cvl::test
