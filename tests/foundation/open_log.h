#pragma once

#include <string>

#include "foundation/log.h"
#include "support/temp_folder.h"

namespace cvl::test {

// Opens Log.txt in a fresh temporary current folder for the object's lifetime, so that tests can read what was logged.
class OpenLog {
 public:
  OpenLog() { gf_openLog(); }
  ~OpenLog() { gf_closeLog(); }
  OpenLog(const OpenLog&) = delete;
  OpenLog& operator=(const OpenLog&) = delete;

  const std::filesystem::path& folder() const { return folder_.path(); }

  // Everything written so far, the header line included.
  std::string text() const {
    gf_flushLog();
    return readFile(folder_.path() / "Log.txt");
  }

  // What was written after the header line.
  std::string body() const {
    const auto all = text();
    return all.substr(all.find('\n') + 1);
  }

 private:
  TempFolder folder_;
  ScopedCurrentFolder current_{folder_.path()};
};

}  // namespace cvl::test
