#include "liveries/livery_title_set.h"

#include <mutex>
#include <unordered_set>

namespace cvl {
namespace {

std::mutex liveryTitleSetMutex;
std::unordered_set<std::string> LiveryTitleSet;

}  // namespace

bool lf_claimTitle(const std::string& title) {
  const std::lock_guard lock{liveryTitleSetMutex};
  return LiveryTitleSet.insert(title).second;
}

void lf_clearClaimedTitles() {
  const std::lock_guard lock{liveryTitleSetMutex};
  LiveryTitleSet.clear();
}

LiveryData lf_makeLiveryData(std::uint32_t folderPriority, const std::string& airline, const std::string& model,
                             bool notCargo, const std::string& title, const std::string& registration) {
  if (!lf_claimTitle(title)) {
    return {};
  }
  return {airline, model, title, registration, folderPriority, !notCargo};
}

}  // namespace cvl
