#include "engine/stream_dry.h"

namespace cvl {

bool lf_streamDry(LiveAc& /*aircraft*/) {
  return false;
}

}  // namespace cvl
