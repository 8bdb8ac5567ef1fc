#include "support/unreadable_file.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <system_error>

namespace cvl::test {
namespace {

namespace fs = std::filesystem;

constexpr uid_t nobody = 65534;
// The capabilities that let root read and search what its permission bits refuse.
constexpr __u32 readAnyFile = (1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH);

// Sets or clears the capabilities in the calling thread's effective set; they stay permitted, so they can come back.
bool lf_setEffective(__u32 capabilities, bool on) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
  if (::syscall(SYS_capget, &header, data) != 0) {
    return false;
  }
  if (on) {
    data[0].effective |= capabilities & data[0].permitted;
  } else {
    data[0].effective &= ~capabilities;
  }
  return ::syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

UnreadableFile::UnreadableFile(const fs::path& file) : file_(fs::absolute(file)) {
  permissions_ = fs::status(file_).permissions();
  if (::geteuid() != 0) {
    fs::permissions(file_, fs::perms::none);
    locked_ = true;
    return;
  }
  ownerChanged_ = ::chown(file_.c_str(), nobody, nobody) == 0;
  fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write);
  capabilitiesDropped_ = ownerChanged_ && lf_setEffective(readAnyFile, false);
  locked_ = capabilitiesDropped_;
}

UnreadableFile::~UnreadableFile() {
  if (capabilitiesDropped_) {
    lf_setEffective(readAnyFile, true);
  }
  if (ownerChanged_) {
    [[maybe_unused]] const int ignored = ::chown(file_.c_str(), ::geteuid(), ::getegid());
  }
  std::error_code ignored;
  fs::permissions(file_, permissions_, ignored);
}

}  // namespace cvl::test
