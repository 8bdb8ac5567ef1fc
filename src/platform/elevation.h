#pragma once

#include <filesystem>

namespace cvl::platform {

// True when the process runs with the administrator's rights (effective user id 0).
bool isElevated();

// True when a new file can be written in the folder: writes one byte to a file of its own there, which is gone when
// closed, so nothing is left behind and no file of the folder is touched.
bool canWriteIn(const std::filesystem::path& folder);

}  // namespace cvl::platform
