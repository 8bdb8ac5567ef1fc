#include "engine/no_match_set.h"

namespace cvl {

std::unordered_set<std::string> noMatchSet;

}  // namespace cvl
