#include "parking/static_creation.h"

namespace cvl {

void lf_detcs() {}

}  // namespace cvl
