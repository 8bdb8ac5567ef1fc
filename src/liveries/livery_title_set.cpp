#include "liveries/livery_title_set.h"

#include <mutex>

#include "liveries/livery_scan_state.h"

namespace cvl {

bool lf_claimTitle(const std::string& title) {
  auto& scan = lf_scanState();
  const std::lock_guard lock{scan.claimedTitlesMutex};
  return scan.claimedTitles.insert(title).second;
}

LiveryData lf_makeLiveryData(std::uint32_t folderPriority, const std::string& airline, const std::string& model,
                             bool notCargo, const std::string& title, const std::string& registration) {
  if (!lf_claimTitle(title)) {
    return {};
  }
  return {airline, model, title, registration, folderPriority, !notCargo};
}

}  // namespace cvl
