#pragma once

#include <filesystem>

namespace cvl::platform {

// Opens a folder or document with the desktop's application for it (xdg-open, started directly, never through a
// shell). True when the opener handed the path over (exit status 0), or still runs after a few seconds (then it runs
// the application itself); false when it reports a failure or cannot be started, and, with nothing started, when
// the path does not exist. Waits at most those few seconds.
bool openWithDesktop(const std::filesystem::path& path);

}  // namespace cvl::platform
