#pragma once

#include <cstdint>
#include <string>

#include "liveries/livery_data.h"

// The titles accepted during a scan. A title gives at most one livery per scan, across all files and threads; the set
// belongs to the scan (liveries/livery_scan_state.h) and is emptied with the scan reports.
namespace cvl {

// Takes the title for the scan the calling thread works for; false when it was taken already. Any thread.
bool lf_claimTitle(const std::string& title);

// The livery, when the title was not taken yet; otherwise an empty record (all texts empty).
LiveryData lf_makeLiveryData(std::uint32_t folderPriority, const std::string& airline, const std::string& model,
                             bool notCargo, const std::string& title, const std::string& registration);

}  // namespace cvl
