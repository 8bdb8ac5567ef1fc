#include "platform/shell_open.h"

#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <thread>

extern char** environ;

namespace cvl::platform {

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
  // The opener is reaped in the background, so that it never lingers as a zombie.
  std::thread{[child] { ::waitpid(child, nullptr, 0); }}.detach();
  return true;
}

}  // namespace cvl::platform
