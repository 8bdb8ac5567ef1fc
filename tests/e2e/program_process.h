#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cvl::test {

// The program started as a process of its own in a folder, with the test's environment plus some variables. A process
// still running when the object goes is killed.
class ProgramProcess {
 public:
  ProgramProcess(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                 const std::map<std::string, std::string>& environment);
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  void signal(int signalNumber) const;
  // The exit status (the low eight bits of what main returned); nothing when it still runs after the limit or was
  // ended by a signal.
  std::optional<int> waitForExit(std::chrono::seconds limit);

 private:
  pid_t pid_ = -1;
  bool ended_ = false;
};

// Polls the condition until it holds or the limit has passed; whether it held.
bool waitUntil(const std::function<bool()>& condition, std::chrono::seconds limit);

}  // namespace cvl::test
