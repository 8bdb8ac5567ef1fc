#include "virtual_display.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

extern char** environ;

namespace cvl::test {
namespace {

// Everything the server writes to the descriptor until it closes it or ends: the display number and a line end.
std::string readAll(int descriptor) {
  std::string text;
  char buffer[64];
  for (ssize_t count = 0; (count = ::read(descriptor, buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<std::size_t>(count));
    if (text.ends_with('\n')) {
      break;
    }
  }
  return text;
}

}  // namespace

VirtualDisplay::VirtualDisplay() {
  int numberPipe[2];
  if (::pipe2(numberPipe, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  // The server writes the number of the display it took to its standard output; its complaints about keyboard maps
  // and socket folders are of no interest.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, numberPipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> arguments{"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"};
  std::vector<char*> argv;
  for (auto& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  const int failure = ::posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(numberPipe[1]);
  const std::string number = failure == 0 ? readAll(numberPipe[0]) : "";
  ::close(numberPipe[0]);
  if (failure != 0) {
    throw std::runtime_error("Xvfb did not start");
  }
  if (!number.ends_with('\n')) {
    stop();
    throw std::runtime_error("Xvfb named no display");
  }
  name_ = ":" + number.substr(0, number.size() - 1);
}

VirtualDisplay::~VirtualDisplay() {
  stop();
}

// Asked to end, the server removes its lock file and socket.
void VirtualDisplay::stop() const {
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

}  // namespace cvl::test
