#pragma once

#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace cvl::test {

// Stands in for the desktop's opener (xdg-open) for the object's lifetime: the only program on PATH, which writes
// down the path it was asked to open and ends with the exit status given (xdg-open's 0 for success, 4 for a failed
// action): at once, or, as an opener that runs the application itself does, only when the test lets it.
class RecordingOpener {
 public:
  enum class End { atOnce, whenLetGo };

  explicit RecordingOpener(int exitStatus = 0, End end = End::atOnce);
  ~RecordingOpener();
  RecordingOpener(const RecordingOpener&) = delete;
  RecordingOpener& operator=(const RecordingOpener&) = delete;

  // The path the opener was given; waits for the opener, which runs on its own, for a generous while and gives
  // "<not opened>" when it never ran.
  std::string openedPath() const;
  // Whether the opener has been started so far; does not wait.
  bool started() const;
  // Lets an opener that waits to be let go end now; waits a generous while for it to be started.
  void letGo();

 private:
  TempFolder folder_;
  std::filesystem::path note_ = folder_.path() / "opened.txt";
  std::filesystem::path hold_ = folder_.path() / "hold";
  ScopedEnvironment path_{"PATH", folder_.path().string()};
  bool waitsToBeLetGo_ = false;
};

}  // namespace cvl::test
