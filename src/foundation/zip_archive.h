#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct zip;

// Zip archives: the downloaded installer and data zips are read, and tests and tools write new ones. A thin owner of
// one libzip archive; the archive is released (unsaved changes dropped) when the object goes.
namespace cvl {

struct ZipEntry {
  std::uint64_t index = 0;
  // The name as stored: folders separated by "/", a folder entry ending in "/".
  std::string name;
  std::uint64_t size = 0;

  bool isFolder() const { return !name.empty() && name.back() == '/'; }
};

class ZipArchive {
 public:
  // An existing archive, read-only and without the consistency check; not open (isOpen false) when it cannot be read.
  static ZipArchive openForReading(const std::filesystem::path& path);
  // A new archive that replaces any file of that name when close() commits it; not open when it cannot be started.
  static ZipArchive create(const std::filesystem::path& path);

  ZipArchive() = default;
  ~ZipArchive();
  ZipArchive(ZipArchive&& other) noexcept;
  ZipArchive& operator=(ZipArchive&& other) noexcept;
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  bool isOpen() const { return archive_ != nullptr; }
  // libzip's text for the last failure to open, read or write.
  const std::string& errorText() const { return errorText_; }

  // Every entry in archive order; empty when not open.
  std::vector<ZipEntry> entries() const;

  // The entry's bytes whole; nothing when they cannot be read (a damaged entry fails its checksum).
  std::optional<std::string> read(const ZipEntry& entry);

  // Hands the entry's bytes to the sink in pieces of at most pieceSize bytes, never holding more. Returns 0 when the
  // whole entry was read and taken, else libzip's error code (the sink refusing a piece gives ZIP_ER_WRITE).
  using PieceSink = std::function<bool(const char* bytes, std::size_t count)>;
  int readInPieces(const ZipEntry& entry, std::size_t pieceSize, const PieceSink& sink);

  // Adds an entry (a new archive only); the bytes are kept until close() writes them.
  bool add(std::string_view name, std::string bytes);

  // Writes what was added (libzip writes under a temporary name, then renames) and releases the archive. True when
  // the archive was written, or was read-only; false when not open or the write failed.
  bool close();

 private:
  explicit ZipArchive(zip* archive) : archive_(archive) {}
  void setError();

  zip* archive_ = nullptr;
  std::string errorText_;
  // libzip reads the added bytes only at close(); list nodes never move.
  std::list<std::string> pending_;
};

}  // namespace cvl
