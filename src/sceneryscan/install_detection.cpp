#include "sceneryscan/install_detection.h"

namespace cvl {

// No detection yet: the user types the path into the install-path field.
std::filesystem::path gf_installPath() {
  return {};
}

}  // namespace cvl
