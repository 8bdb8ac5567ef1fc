#include "engine/live_ac_lookup.h"

#include <algorithm>

namespace cvl {
namespace {

template <class Record, class Test>
Record* firstWhere(std::vector<Record>& records, Test test) {
  const auto found = std::find_if(records.begin(), records.end(), test);
  return found == records.end() ? nullptr : &*found;
}

}  // namespace

LiveAc* gf_findLiveAcByHexid(std::uint32_t hexid) {
  return firstWhere(liveAcs, [hexid](const LiveAc& aircraft) { return aircraft.hexid == hexid; });
}

LiveAc* gf_findLiveAcByObjectId(std::uint32_t objectId) {
  if (objectId == 0) {
    return nullptr;
  }
  return firstWhere(liveAcs, [objectId](const LiveAc& aircraft) { return aircraft.objectId == objectId; });
}

StaticAc* gf_findStaticAcByHexid(std::uint32_t hexid) {
  return firstWhere(staticAcs, [hexid](const StaticAc& aircraft) { return aircraft.hexid == hexid; });
}

}  // namespace cvl
