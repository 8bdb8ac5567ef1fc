#include "engine/no_match_set.h"

#include <cstddef>
#include <utility>

namespace cvl {

namespace {

// More than a busy region's aircraft without a livery in 20 minutes.
constexpr std::size_t mostNoMatches = 500;

}  // namespace

std::unordered_set<std::string> noMatchSet;
std::uint64_t noMatchLeftOut = 0;

void gf_noteNoMatch(std::string key) {
  if (noMatchSet.size() < mostNoMatches) {
    noMatchSet.insert(std::move(key));
  } else if (!noMatchSet.contains(key)) {
    ++noMatchLeftOut;
  }
}

void gf_forgetNoMatches() {
  noMatchSet.clear();
  noMatchLeftOut = 0;
}

}  // namespace cvl
