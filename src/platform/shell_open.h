#pragma once

#include <filesystem>
#include <functional>

namespace cvl::platform {

// Opens a folder or document with the desktop's application for it (xdg-open, started directly, never through a
// shell). True when the opener handed the path over (exit status 0), or still runs after a few seconds (then it runs
// the application itself); false when it reports a failure or cannot be started, and, with nothing started, when
// the path does not exist. Waits at most those few seconds.
bool openWithDesktop(const std::filesystem::path& path);

// The same without waiting for the opener's answer: false when the path does not exist or no opener starts, else true
// at once. A failure the opener reports within those few seconds runs onFailure then, on a thread of its own.
bool startOpeningWithDesktop(const std::filesystem::path& path, std::function<void()> onFailure);

}  // namespace cvl::platform
