#include "parking/user_stand.h"

namespace cvl {

// The park airport's stands are not read yet: there is no stand to record.
void gf_watchUserStand() {}

}  // namespace cvl
