#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace cvl::test {

// The faults a long run finds at its steps: each fault once, with the second it first showed and the number of steps
// it showed in.
class FaultTally {
 public:
  void add(const std::string& what, double second);
  bool empty() const { return faults_.empty(); }
  // One line a fault.
  std::string list() const;

 private:
  std::map<std::string, std::pair<double, std::int32_t>> faults_;
};

}  // namespace cvl::test
