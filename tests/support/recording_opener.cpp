#include "support/recording_opener.h"

#include <fcntl.h>
#include <fmt/format.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace cvl::test {
namespace {

constexpr auto pollPause = std::chrono::milliseconds(10);
constexpr int patientPolls = 1000;

}  // namespace

RecordingOpener::RecordingOpener(int exitStatus, End end) : waitsToBeLetGo_(end == End::whenLetGo) {
  const auto opener = folder_.path() / "xdg-open";
  // Shell built-ins only: nothing else is on PATH. Reading the named pipe blocks until the test writes to it.
  std::string wait;
  if (waitsToBeLetGo_) {
    ::mkfifo(hold_.c_str(), 0600);
    wait = fmt::format("read line < \"{}\"\n", hold_.string());
  }
  writeFile(opener,
            fmt::format("#!/bin/sh\nprintf '%s\\n' \"$1\" > \"{}\"\n{}exit {}\n", note_.string(), wait, exitStatus));
  std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
}

RecordingOpener::~RecordingOpener() {
  if (waitsToBeLetGo_ && started()) {
    letGo();
  }
}

std::string RecordingOpener::openedPath() const {
  for (int attempt = 0; attempt < patientPolls; ++attempt) {
    if (std::string note = std::filesystem::exists(note_) ? readFile(note_) : ""; note.ends_with('\n')) {
      note.pop_back();
      return note;
    }
    std::this_thread::sleep_for(pollPause);
  }
  return "<not opened>";
}

bool RecordingOpener::started() const {
  return std::filesystem::exists(note_);
}

void RecordingOpener::letGo() {
  if (!waitsToBeLetGo_) {
    return;
  }
  // Opening the pipe for writing fails until the opener has opened it for reading.
  for (int attempt = 0; attempt < patientPolls; ++attempt) {
    if (const int pipe = ::open(hold_.c_str(), O_WRONLY | O_NONBLOCK); pipe >= 0) {
      [[maybe_unused]] const auto written = ::write(pipe, "\n", 1);
      ::close(pipe);
      waitsToBeLetGo_ = false;
      return;
    }
    std::this_thread::sleep_for(pollPause);
  }
}

}  // namespace cvl::test
