#include "sceneryscan/tblo_archive.h"

namespace cvl {

std::atomic<std::uint64_t> tbloReady{0};

}  // namespace cvl
