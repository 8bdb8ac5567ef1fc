#pragma once

#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace cvl::test {

// Stands in for the desktop's opener (xdg-open) for the object's lifetime: the only program on PATH, which writes
// down the path it was asked to open and ends with the exit status given (xdg-open's 0 for success, 4 for a failed
// action).
class RecordingOpener {
 public:
  explicit RecordingOpener(int exitStatus = 0);

  // The path the opener was given; waits for the opener, which runs on its own, for a generous while and gives
  // "<not opened>" when it never ran.
  std::string openedPath() const;
  // Whether the opener has been started so far; does not wait.
  bool started() const;

 private:
  TempFolder folder_;
  std::filesystem::path note_ = folder_.path() / "opened.txt";
  ScopedEnvironment path_{"PATH", folder_.path().string()};
};

}  // namespace cvl::test
