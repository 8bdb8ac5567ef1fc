#include "support/recording_opener.h"

#include <fmt/format.h>

#include <chrono>
#include <thread>

namespace cvl::test {

RecordingOpener::RecordingOpener(int exitStatus) {
  const auto opener = folder_.path() / "xdg-open";
  // Shell built-ins only: nothing else is on PATH.
  writeFile(opener, fmt::format("#!/bin/sh\nprintf '%s\\n' \"$1\" > \"{}\"\nexit {}\n", note_.string(), exitStatus));
  std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
}

std::string RecordingOpener::openedPath() const {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    if (std::string note = std::filesystem::exists(note_) ? readFile(note_) : ""; note.ends_with('\n')) {
      note.pop_back();
      return note;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return "<not opened>";
}

bool RecordingOpener::started() const {
  return std::filesystem::exists(note_);
}

}  // namespace cvl::test
