#include "support/leak_options.h"

#include <cstdlib>

namespace cvl::test {

std::string windowLeakOptions() {
  std::string options = "suppressions=" CORVALEN_LEAK_SUPPRESSIONS;
  if (const char* given = std::getenv("LSAN_OPTIONS"); given != nullptr && *given != '\0') {
    options += ':';
    options += given;
  }
  return options;
}

}  // namespace cvl::test
