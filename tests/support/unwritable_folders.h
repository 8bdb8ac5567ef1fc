#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

// Folders the program cannot write, as users meet them: one that is read-only for the user, and a disk that is full.
// Permission bits do not stop root, so a test that runs as root mounts instead: the folder read-only over itself, or
// a small tmpfs. Where that is not allowed either, available() is false and the test skips.
namespace cvl::test {

class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const std::filesystem::path& folder);
  ~ReadOnlyFolder();
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  bool available() const { return locked_; }
  // The system's text for a write refused in the folder ("Read-only file system" or "Permission denied").
  std::string reason() const;

 private:
  std::filesystem::path folder_;
  bool mounted_ = false;
  bool locked_ = false;
  std::filesystem::perms permissions_{};
};

// A disk of that many bytes mounted on the folder (a tmpfs, for root only), empty at first; what the folder held is
// hidden while it is mounted.
class SmallDisk {
 public:
  SmallDisk(const std::filesystem::path& folder, std::size_t bytes);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool available() const { return mounted_; }

 private:
  std::filesystem::path folder_;
  bool mounted_ = false;
};

}  // namespace cvl::test
