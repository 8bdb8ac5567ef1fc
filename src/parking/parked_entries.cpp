#include "parking/parked_entries.h"

namespace cvl {

std::vector<ParkedEntry> parkedEntries;

}  // namespace cvl
