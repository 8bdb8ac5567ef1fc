#include "simlink/creation_failures.h"

namespace cvl {

// Nothing is matched yet, so nothing is unmatched.
void gf_logNoMatch() {}

}  // namespace cvl
