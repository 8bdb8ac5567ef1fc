#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <system_error>

#include "refdata/data_file_key.h"

// The downloaded data files (dbase, airports, AIG regcodes) are libsodium secret streams, XChaCha20-Poly1305 without
// additional data: a 24-byte header, then one sealed message per 4096 plain bytes (4113 bytes each), the last one
// shorter, possibly empty, and tagged FINAL. Each reader decrypts its file into a plain XML file beside it, reads that
// and removes it at once, so the plain text lives on disk only while it is read.
namespace cvl {

inline constexpr std::size_t encHeaderBytes = 24;
inline constexpr std::size_t encPlainChunkBytes = 4096;
inline constexpr std::size_t encSealedChunkBytes = 4113;

// What one decryption came to. A data file that could not be opened for reading (another user's file) and a plain file
// that could not be created or written (a read-only folder, a full disk) say nothing of the data file's contents:
// readFailure or writeFailure then holds the system's reason.
struct DecryptOutcome {
  bool decrypted = false;
  std::error_code readFailure;
  std::error_code writeFailure;

  explicit operator bool() const { return decrypted; }
  bool untried() const { return readFailure || writeFailure; }
};

// Writes the whole plain text of encPath to plainPath (created or replaced). The outcome is false when that failed:
// the reason is logged as "gf_streamDecrypt exception: {}" and no plain file is left behind. Never throws.
DecryptOutcome gf_streamDecrypt(const std::filesystem::path& encPath, const std::filesystem::path& plainPath);

// Thrown for a file that cannot be opened, created or written, with the system's reason.
class FileNotAccessible : public std::runtime_error {
 public:
  FileNotAccessible(const std::string& text, std::error_code reason) : std::runtime_error(text), reason_(reason) {}
  std::error_code reason() const { return reason_; }

 private:
  std::error_code reason_;
};

class DataFileNotRead : public FileNotAccessible {
 public:
  using FileNotAccessible::FileNotAccessible;
};

class PlainFileNotWritten : public FileNotAccessible {
 public:
  using FileNotAccessible::FileNotAccessible;
};

// Decrypts inputPath into outputPath or throws std::runtime_error: DataFileNotRead with "Could not open input file:
// {path} ({the system's reason})", "Invalid header or key" (also for a file shorter than its header), "Decryption
// failed" (a message that does not authenticate: another key, altered or cut data), and "Decryption failed: " with a
// reason for a stream that ends without its FINAL message; PlainFileNotWritten with "Could not open output file:
// {path}" or "Could not write output file: {path}". Bytes after a full FINAL message are not read. After a throw the
// output file may hold part of the text; gf_streamDecrypt removes it.
void lf_streamDecrypt(std::span<const std::uint8_t, dataFileKeyBytes> key, const std::filesystem::path& inputPath,
                      const std::filesystem::path& outputPath);

// Removes the file when it exists. A failure is logged as the flagged line "Warning: could not remove {}, errorcode:
// {}" and goes no further. Never throws.
void gf_removeFile(const std::filesystem::path& path);

}  // namespace cvl
