#include "support/screenshot.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <limits>

#include "support/leak_options.h"
#include "support/temp_folder.h"

extern char** environ;

namespace cvl::test {
namespace {

constexpr int virtualDisplayRuns = 3;
// The first server number tried lies in firstServer .. firstServer + serverSpread - 1, chosen by the process id, and
// each further run moves on by serverStep.
constexpr int firstServer = 200;
constexpr int serverSpread = 500;
constexpr int serverStep = 37;

// The next word of a PPM header, past blanks and comment lines.
std::string headerWord(std::istream& in) {
  in >> std::ws;
  while (in.peek() == '#') {
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    in >> std::ws;
  }
  std::string word;
  in >> word;
  return word;
}

}  // namespace

bool onPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  const std::string folders = path == nullptr ? "" : path;
  for (std::size_t start = 0; start <= folders.size();) {
    std::size_t end = folders.find(':', start);
    end = end == std::string::npos ? folders.size() : end;
    if (::access((folders.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

int runProgram(std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (auto& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  pid_t child = 0;
  if (::posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
    return -1;
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const char* missingScreenshotTool() {
  for (const char* tool : {"xvfb-run", "xwd", "convert"}) {
    if (!onPath(tool)) {
      return tool;
    }
  }
  return nullptr;
}

int runSelfOnVirtualDisplay(const std::string& test, const std::string& screen, const std::string& screenshotVariable,
                            const std::filesystem::path& screenshot) {
  const auto self = std::filesystem::read_symlink("/proc/self/exe");
  const ScopedEnvironment backend{"CORVALEN_UI", "fltk"};
  const ScopedEnvironment target{screenshotVariable, screenshot.string()};
  const ScopedEnvironment leaks{"LSAN_OPTIONS", windowLeakOptions()};
  int result = -1;
  for (int run = 0; run < virtualDisplayRuns && result != 0; ++run) {
    // -a after -n: xvfb-run takes the first free server from this number on, and the next one when its server
    // fails to start.
    const int server = firstServer + (static_cast<int>(::getpid()) + run * serverStep) % serverSpread;
    result = runProgram({"xvfb-run", "-n", std::to_string(server), "-a", "-s", "-screen 0 " + screen, self.string(),
                         "--gtest_filter=" + test});
  }
  return result;
}

ui::Colour Picture::at(int x, int y) const {
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
  return ui::rgb(rgb[i], rgb[i + 1], rgb[i + 2]);
}

Picture readPpm(const std::filesystem::path& file) {
  std::ifstream in{file, std::ios::binary};
  Picture picture;
  const std::string magic = headerWord(in);
  picture.width = std::atoi(headerWord(in).c_str());
  picture.height = std::atoi(headerWord(in).c_str());
  const int maximum = std::atoi(headerWord(in).c_str());
  in.get();
  if (magic != "P6" || maximum != 255 || picture.width <= 0 || picture.height <= 0) {
    return {};
  }
  picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
  in.read(reinterpret_cast<char*>(picture.rgb.data()), static_cast<std::streamsize>(picture.rgb.size()));
  return in ? picture : Picture{};
}

std::string describe(ui::Colour colour) {
  return std::to_string(colour.red) + "," + std::to_string(colour.green) + "," + std::to_string(colour.blue);
}

}  // namespace cvl::test
