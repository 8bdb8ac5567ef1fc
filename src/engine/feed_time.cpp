#include "engine/feed_time.h"

#include <fmt/format.h>

#include <algorithm>

#include "foundation/log.h"

namespace cvl {
namespace {

// Seconds ahead of the newest time that no report of a running feed comes.
constexpr double aheadMargin = 60.0;
constexpr int aheadRunBelieved = 3;

double newestTime = 0.0;
int aheadInARow = 0;

}  // namespace

bool gf_isStampedAhead(const TrafficItem& item) {
  const bool ahead = newestTime > 0.0 && item.timestamp > newestTime + aheadMargin;
  if (ahead && ++aheadInARow < aheadRunBelieved) {
    gf_log(fmt::format("{:8} {:8} report stamped {:.0f} s ahead of the traffic, ignored", item.callsign,
                       item.registration, item.timestamp - newestTime));
    return true;
  }
  aheadInARow = 0;
  newestTime = std::max(newestTime, item.timestamp);
  return false;
}

void gf_resetFeedTime() {
  newestTime = 0.0;
  aheadInARow = 0;
}

}  // namespace cvl
