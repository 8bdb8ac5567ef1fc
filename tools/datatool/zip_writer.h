#pragma once

#include <filesystem>
#include <list>
#include <string>
#include <string_view>

struct zip;

namespace cvl::datatool {

// A new zip archive built in memory entry by entry and written by close(); libzip writes it under a temporary name
// and renames it, so an archive that is dropped unclosed (or fails) leaves no file behind. Throws std::runtime_error.
class ZipWriter {
 public:
  explicit ZipWriter(const std::filesystem::path& path);
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  void add(std::string_view entryName, std::string bytes);
  void close();

 private:
  std::filesystem::path path_;
  zip* archive_ = nullptr;
  // libzip reads the entries' bytes only when the archive is closed; list nodes keep their address.
  std::list<std::string> contents_;
};

}  // namespace cvl::datatool
