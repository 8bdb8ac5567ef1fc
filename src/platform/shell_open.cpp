#include "platform/shell_open.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

extern char** environ;

namespace cvl::platform {
namespace {

// xdg-open hands the path to the desktop's application and ends, with a non-zero status when it could not (no
// application for it, a failed action). One still running after this long runs the application itself in the
// foreground (a desktop it does not know): that counts as opened, and the caller, often the UI thread, goes on.
constexpr auto handOverLimit = std::chrono::seconds{3};

// The opener's exit status, or -1 when it ended otherwise. Reaped on a thread of its own, which waits as long as the
// opener runs, so that it never lingers as a zombie.
std::future<int> lf_exitStatusOf(pid_t child) {
  auto exited = std::make_shared<std::promise<int>>();
  auto status = exited->get_future();
  std::thread{[child, exited] {
    int waitStatus = 0;
    pid_t reaped = 0;
    do {
      reaped = ::waitpid(child, &waitStatus, 0);
    } while (reaped < 0 && errno == EINTR);
    exited->set_value(reaped == child && WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1);
  }}.detach();
  return status;
}

}  // namespace

bool openWithDesktop(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) {
    return false;
  }
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error || absolute.empty()) {
    return false;
  }
  std::string opener = "xdg-open";
  std::string argument = absolute.string();
  char* arguments[] = {opener.data(), argument.data(), nullptr};
  pid_t child = 0;
  if (::posix_spawnp(&child, opener.c_str(), nullptr, nullptr, arguments, environ) != 0) {
    return false;
  }
  auto status = lf_exitStatusOf(child);
  if (status.wait_for(handOverLimit) != std::future_status::ready) {
    return true;
  }
  return status.get() == 0;
}

}  // namespace cvl::platform
