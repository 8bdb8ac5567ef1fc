#include "platform/elevation.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace cvl::platform {
namespace {

// A file of a new name in the folder, unlinked at once; for file systems that cannot make unnamed files.
int openNamedScratchFile(const std::filesystem::path& folder) {
  std::string name = (folder / ".write_test.XXXXXX").string();
  const int descriptor = ::mkostemp(name.data(), O_CLOEXEC);
  if (descriptor >= 0) {
    ::unlink(name.c_str());
  }
  return descriptor;
}

}  // namespace

bool isElevated() {
  return ::geteuid() == 0;
}

bool canWriteIn(const std::filesystem::path& folder) {
  int descriptor = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (descriptor < 0 && (errno == EOPNOTSUPP || errno == EISDIR)) {
    descriptor = openNamedScratchFile(folder);
  }
  if (descriptor < 0) {
    return false;
  }
  const char zero = 0;
  const bool written = ::write(descriptor, &zero, 1) == 1;
  return ::close(descriptor) == 0 && written;
}

}  // namespace cvl::platform
