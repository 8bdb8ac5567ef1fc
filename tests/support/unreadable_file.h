#pragma once

#include <filesystem>

// A file the user may not read (a folder: that he may neither list nor search), as users meet it when another user
// laid out the folder: mode 600 and owned by someone else. Permission bits do not stop root, so while a test runs as
// root its thread gives up, for as long as the file is held, the capabilities that let root read any file; other
// threads keep theirs. Where that is not allowed, available() is false and the test skips.
namespace cvl::test {

class UnreadableFile {
 public:
  explicit UnreadableFile(const std::filesystem::path& file);
  ~UnreadableFile();
  UnreadableFile(const UnreadableFile&) = delete;
  UnreadableFile& operator=(const UnreadableFile&) = delete;

  bool available() const { return locked_; }

 private:
  std::filesystem::path file_;
  std::filesystem::perms permissions_{};
  bool ownerChanged_ = false;
  bool capabilitiesDropped_ = false;
  bool locked_ = false;
};

}  // namespace cvl::test
