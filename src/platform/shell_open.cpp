#include "platform/shell_open.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>

extern char** environ;

namespace cvl::platform {
namespace {

// xdg-open hands the path to the desktop's application and ends, with a non-zero status when it could not (no
// application for it, a failed action). One still running after this long runs the application itself in the
// foreground (a desktop it does not know): that counts as opened, whatever status it ends with later.
constexpr auto handOverLimit = std::chrono::seconds{3};

// The opener started on the path; nothing when the path does not exist or no opener starts.
std::optional<pid_t> lf_startOpener(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) {
    return std::nullopt;
  }
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error || absolute.empty()) {
    return std::nullopt;
  }
  std::string opener = "xdg-open";
  std::string argument = absolute.string();
  char* arguments[] = {opener.data(), argument.data(), nullptr};
  pid_t child = 0;
  if (::posix_spawnp(&child, opener.c_str(), nullptr, nullptr, arguments, environ) != 0) {
    return std::nullopt;
  }
  return child;
}

// Hands whether the opener handed the path over to `answered` once that is known: at its exit within the hand-over
// limit, else at the limit (opened). The opener is reaped on a thread of its own, which waits as long as it runs, so
// that it never lingers as a zombie.
void lf_awaitOpener(pid_t child, std::function<void(bool opened)> answered) {
  const auto started = std::chrono::steady_clock::now();
  std::thread{[child, started, answered = std::move(answered)] {
    int waitStatus = 0;
    pid_t reaped = 0;
    do {
      reaped = ::waitpid(child, &waitStatus, 0);
    } while (reaped < 0 && errno == EINTR);
    const bool handedOver = reaped == child && WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0;
    answered(handedOver || std::chrono::steady_clock::now() - started > handOverLimit);
  }}.detach();
}

}  // namespace

bool openWithDesktop(const std::filesystem::path& path) {
  const auto child = lf_startOpener(path);
  if (!child) {
    return false;
  }
  auto answer = std::make_shared<std::promise<bool>>();
  auto opened = answer->get_future();
  lf_awaitOpener(*child, [answer](bool handedOver) { answer->set_value(handedOver); });
  if (opened.wait_for(handOverLimit) != std::future_status::ready) {
    return true;
  }
  return opened.get();
}

bool startOpeningWithDesktop(const std::filesystem::path& path, std::function<void()> onFailure) {
  const auto child = lf_startOpener(path);
  if (!child) {
    return false;
  }
  lf_awaitOpener(*child, [onFailure = std::move(onFailure)](bool opened) {
    if (!opened && onFailure) {
      onFailure();
    }
  });
  return true;
}

}  // namespace cvl::platform
