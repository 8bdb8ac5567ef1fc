#pragma once

#include <filesystem>
#include <string_view>

// One running copy of the program per user session. The named guard becomes a lock on a file named after it in
// $XDG_RUNTIME_DIR (else the temporary folder); the lock is held until the process ends, however it ends.
namespace cvl::platform {

enum class InstanceClaim {
  first,           // this process holds the guard now
  alreadyRunning,  // another process holds it
};

// Claims the guard without waiting. When the lock file cannot be made at all the program is not stopped: the claim
// counts as first.
InstanceClaim claimSingleInstance(std::string_view guardName);

// The lock file of a guard: its name with every character other than letters, digits, '.', '-' and '_' made '_'.
std::filesystem::path singleInstanceLockFile(std::string_view guardName);

}  // namespace cvl::platform
