#include "support/unwritable_folders.h"

#include <sys/mount.h>
#include <unistd.h>

#include <system_error>

namespace cvl::test {
namespace {

namespace fs = std::filesystem;

constexpr auto writeBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

bool lf_runsAsRoot() {
  return ::geteuid() == 0;
}

void lf_unmount(const fs::path& folder) {
  // Detached, so that a file still open below it does not keep the mount for the next test.
  ::umount2(folder.c_str(), MNT_DETACH);
}

}  // namespace

ReadOnlyFolder::ReadOnlyFolder(const fs::path& folder) : folder_(fs::absolute(folder)) {
  if (!lf_runsAsRoot()) {
    permissions_ = fs::status(folder_).permissions();
    fs::permissions(folder_, writeBits, fs::perm_options::remove);
    locked_ = true;
    return;
  }
  mounted_ = ::mount(folder_.c_str(), folder_.c_str(), nullptr, MS_BIND, nullptr) == 0;
  locked_ = mounted_ && ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

ReadOnlyFolder::~ReadOnlyFolder() {
  if (mounted_) {
    lf_unmount(folder_);
  } else if (locked_) {
    std::error_code ignored;
    fs::permissions(folder_, permissions_, ignored);
  }
}

std::string ReadOnlyFolder::reason() const {
  return std::make_error_code(mounted_ ? std::errc::read_only_file_system : std::errc::permission_denied).message();
}

SmallDisk::SmallDisk(const fs::path& folder, std::size_t bytes) : folder_(fs::absolute(folder)) {
  const auto options = "size=" + std::to_string(bytes);
  mounted_ = lf_runsAsRoot() && ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

SmallDisk::~SmallDisk() {
  if (mounted_) {
    lf_unmount(folder_);
  }
}

}  // namespace cvl::test
