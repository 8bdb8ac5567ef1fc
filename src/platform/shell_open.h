#pragma once

#include <filesystem>

namespace cvl::platform {

// Opens a folder or document with the desktop's application for it (xdg-open, started directly, never through a
// shell). True when the opener could be started; the opening itself is not awaited. False, and nothing started, when
// the path does not exist.
bool openWithDesktop(const std::filesystem::path& path);

}  // namespace cvl::platform
