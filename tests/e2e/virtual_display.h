#pragma once

#include <sys/types.h>

#include <string>

namespace cvl::test {

// An X server of the test's own (Xvfb) for the object's lifetime, on a display number the server found free. A
// program shows its real window there when it is given the display's name as DISPLAY.
class VirtualDisplay {
 public:
  // Throws std::runtime_error when the server does not come up.
  VirtualDisplay();
  ~VirtualDisplay();
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  // ":N", the value for DISPLAY.
  const std::string& name() const { return name_; }

 private:
  void stop() const;

  pid_t pid_ = -1;
  std::string name_;
};

}  // namespace cvl::test
