#include "parking/parked_entries.h"

namespace cvl {

std::vector<ParkedEntry> parkedEntries;
std::vector<KeptStatic> keptStatics;
std::vector<StaticRemoval> staticRemovals;

}  // namespace cvl
