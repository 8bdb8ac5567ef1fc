#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace cvl::platform {
namespace {

std::filesystem::path lockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && std::filesystem::path{runtime}.is_absolute()) {
    std::error_code error;
    if (std::filesystem::is_directory(runtime, error)) {
      return runtime;
    }
  }
  std::error_code error;
  auto temporary = std::filesystem::temp_directory_path(error);
  return error ? std::filesystem::path{"/tmp"} : temporary;
}

bool isPlainNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
}

}  // namespace

std::filesystem::path singleInstanceLockFile(std::string_view guardName) {
  std::string name;
  for (char c : guardName) {
    name += isPlainNameCharacter(c) ? c : '_';
  }
  return lockFolder() / (name + ".lock");
}

InstanceClaim claimSingleInstance(std::string_view guardName) {
  // Close-on-exec, so that programs started from here (the desktop's opener) never hold the guard after we end.
  const int descriptor = ::open(singleInstanceLockFile(guardName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (descriptor < 0) {
    return InstanceClaim::first;
  }
  if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    ::close(descriptor);
    return held ? InstanceClaim::alreadyRunning : InstanceClaim::first;
  }
  // The descriptor stays open for the life of the process: closing it would release the guard.
  return InstanceClaim::first;
}

}  // namespace cvl::platform
