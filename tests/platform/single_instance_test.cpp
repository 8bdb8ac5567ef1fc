#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_folder.h"

namespace cvl::test {
namespace {

constexpr std::string_view guard = "Local\\$CRVL$";

// Runs the claim in a child process; the child then waits until the pipe closes before it ends, so that it holds the
// guard meanwhile.
struct ClaimingChild {
  pid_t pid = -1;
  int release = -1;
  platform::InstanceClaim claim{};
};

ClaimingChild claimInChild() {
  int result[2];
  int release[2];
  EXPECT_EQ(::pipe(result), 0);
  EXPECT_EQ(::pipe(release), 0);
  ClaimingChild child;
  child.pid = ::fork();
  if (child.pid == 0) {
    ::close(release[1]);
    const char answer = platform::claimSingleInstance(guard) == platform::InstanceClaim::first ? 'f' : 'a';
    [[maybe_unused]] auto written = ::write(result[1], &answer, 1);
    char ignored;
    [[maybe_unused]] auto read = ::read(release[0], &ignored, 1);
    ::_exit(0);
  }
  ::close(result[1]);
  ::close(release[0]);
  char answer = 0;
  EXPECT_EQ(::read(result[0], &answer, 1), 1);
  ::close(result[0]);
  child.release = release[1];
  child.claim = answer == 'f' ? platform::InstanceClaim::first : platform::InstanceClaim::alreadyRunning;
  return child;
}

void end(ClaimingChild& child) {
  ::close(child.release);
  int status = 0;
  ::waitpid(child.pid, &status, 0);
}

TEST(SingleInstance, ASecondProcessIsToldAtOnceAndTheGuardGoesWithTheFirst) {
  TempFolder runtime;
  ScopedEnvironment runtimeDir{"XDG_RUNTIME_DIR", runtime.path().string()};

  ClaimingChild first = claimInChild();
  EXPECT_EQ(first.claim, platform::InstanceClaim::first);
  ClaimingChild second = claimInChild();
  EXPECT_EQ(second.claim, platform::InstanceClaim::alreadyRunning);
  end(second);
  end(first);

  ClaimingChild after = claimInChild();
  EXPECT_EQ(after.claim, platform::InstanceClaim::first);
  end(after);
}

TEST(SingleInstance, TheLockFileIsNamedAfterTheGuard) {
  TempFolder runtime;
  {
    ScopedEnvironment runtimeDir{"XDG_RUNTIME_DIR", runtime.path().string()};
    EXPECT_EQ(platform::singleInstanceLockFile(guard), runtime.path() / "Local__CRVL_.lock");
  }
  ScopedEnvironment noRuntimeDir{"XDG_RUNTIME_DIR", std::nullopt};
  ScopedEnvironment temporary{"TMPDIR", runtime.path().string()};
  EXPECT_EQ(platform::singleInstanceLockFile(guard), runtime.path() / "Local__CRVL_.lock");
}

}  // namespace
}  // namespace cvl::test
