#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string_view>

// The log of every line the emulator received over the TCP link, one a line without its line end, in the order of
// arrival. Each line is flushed at once, so that a test can read the file while the emulator runs.
namespace cvl::rtemu {

class ReceivedLog {
 public:
  // Logs to standard output.
  ReceivedLog() = default;
  // Logs to a new file; throws std::runtime_error when it cannot be created.
  explicit ReceivedLog(const std::filesystem::path& path);

  void write(std::string_view line);
  std::size_t count() const;

 private:
  mutable std::mutex mutex_;
  std::ofstream file_;
  bool toFile_ = false;
  std::size_t count_ = 0;
};

}  // namespace cvl::rtemu
