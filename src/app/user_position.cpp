#include "app/user_position.h"

namespace cvl {

UserAcData userPosition;

}  // namespace cvl
