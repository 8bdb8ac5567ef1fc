#include "program_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace cvl::test {
namespace {

constexpr auto pollInterval = std::chrono::milliseconds(50);

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& overrides) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text{*entry};
    if (!overrides.contains(text.substr(0, text.find('=')))) {
      entries.push_back(text);
    }
  }
  for (const auto& [name, value] : overrides) {
    entries.push_back(name + "=" + value);
  }
  return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (auto& text : texts) {
    pointers.push_back(text.data());
  }
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

ProgramProcess::ProgramProcess(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                               const std::map<std::string, std::string>& environment) {
  std::vector<std::string> argvTexts{"./corvalen"};
  argvTexts.insert(argvTexts.end(), arguments.begin(), arguments.end());
  std::vector<std::string> envTexts = mergedEnvironment(environment);
  const auto argv = pointersTo(argvTexts);
  const auto envp = pointersTo(envTexts);
  const std::string folderText = folder.string();

  pid_ = ::fork();
  if (pid_ < 0) {
    throw std::runtime_error(std::string{"fork failed: "} + std::strerror(errno));
  }
  if (pid_ == 0) {
    if (::chdir(folderText.c_str()) == 0) {
      ::execve("./corvalen", argv.data(), envp.data());
    }
    ::_exit(127);
  }
}

ProgramProcess::~ProgramProcess() {
  if (!ended_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

void ProgramProcess::signal(int signalNumber) const {
  ::kill(pid_, signalNumber);
}

std::optional<int> ProgramProcess::waitForExit(std::chrono::seconds limit) {
  int status = 0;
  const bool exited = waitUntil(
      [&] {
        const pid_t result = ::waitpid(pid_, &status, WNOHANG);
        return result == pid_;
      },
      limit);
  if (!exited) {
    return std::nullopt;
  }
  ended_ = true;
  return WIFEXITED(status) ? std::optional<int>{WEXITSTATUS(status)} : std::nullopt;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(pollInterval);
  }
  return true;
}

}  // namespace cvl::test
