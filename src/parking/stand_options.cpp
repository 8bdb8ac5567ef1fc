#include "parking/stand_options.h"

namespace cvl {

void lf_addRealStandOption(std::uint32_t /*standSid*/, LiveAc& /*aircraft*/, std::uint32_t /*occasion*/) {}

}  // namespace cvl
