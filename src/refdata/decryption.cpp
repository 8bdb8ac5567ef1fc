#include "refdata/decryption.h"

#include <fmt/format.h>
#include <sodium.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <gsl/narrow>
#include <gsl/util>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>

#include "foundation/log.h"

namespace cvl {
namespace {

static_assert(encHeaderBytes == crypto_secretstream_xchacha20poly1305_HEADERBYTES);
static_assert(encSealedChunkBytes == encPlainChunkBytes + crypto_secretstream_xchacha20poly1305_ABYTES);

void lf_startSodium() {
  static const bool started = sodium_init() >= 0;
  if (!started) {
    throw std::runtime_error("libsodium could not be initialised");
  }
}

std::size_t lf_readUpTo(std::istream& in, std::span<unsigned char> buffer) {
  in.read(reinterpret_cast<char*>(buffer.data()), gsl::narrow<std::streamsize>(buffer.size()));
  return gsl::narrow<std::size_t>(in.gcount());
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using OutputFile = std::unique_ptr<std::FILE, FileCloser>;

// The reason the system gave for the failed call just made.
std::error_code lf_lastError() {
  return {errno != 0 ? errno : EIO, std::generic_category()};
}

[[noreturn]] void lf_throwNotWritten(std::string_view failure, const std::filesystem::path& outputPath) {
  throw PlainFileNotWritten(fmt::format("{}: {}", failure, outputPath.string()), lf_lastError());
}

OutputFile lf_openOutput(const std::filesystem::path& outputPath) {
  errno = 0;
  OutputFile out{std::fopen(outputPath.c_str(), "wb")};
  if (!out) {
    lf_throwNotWritten("Could not open output file", outputPath);
  }
  return out;
}

void lf_write(std::FILE* out, std::span<const unsigned char> bytes, const std::filesystem::path& outputPath) {
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
    lf_throwNotWritten("Could not write output file", outputPath);
  }
}

// What is still buffered reaches the disk here: a full disk may refuse it only now.
void lf_closeOutput(OutputFile out, const std::filesystem::path& outputPath) {
  errno = 0;
  if (std::fclose(out.release()) != 0) {
    lf_throwNotWritten("Could not write output file", outputPath);
  }
}

// Pulls every message after the header. Only a stream that closes with its FINAL message is whole: an empty or cut
// download must never pass for a data file. Bytes after a full FINAL message lie outside the authenticated stream and
// are not read; after a shorter one they join that message, which then fails.
void lf_pullMessages(crypto_secretstream_xchacha20poly1305_state& state, std::istream& in, std::FILE* out,
                     const std::filesystem::path& outputPath) {
  std::array<unsigned char, encSealedChunkBytes> sealed{};
  std::array<unsigned char, encPlainChunkBytes> plain{};
  unsigned char tag = 0;
  while (tag != crypto_secretstream_xchacha20poly1305_TAG_FINAL) {
    const std::size_t sealedCount = lf_readUpTo(in, sealed);
    if (sealedCount == 0) {
      throw std::runtime_error("Decryption failed: the file ends before its final chunk");
    }
    unsigned long long plainCount = 0;
    if (crypto_secretstream_xchacha20poly1305_pull(&state, plain.data(), &plainCount, &tag, sealed.data(), sealedCount,
                                                   nullptr, 0) != 0) {
      throw std::runtime_error("Decryption failed");
    }
    lf_write(out, std::span{plain}.first(gsl::narrow<std::size_t>(plainCount)), outputPath);
  }
}

}  // namespace

void lf_streamDecrypt(std::span<const std::uint8_t, dataFileKeyBytes> key, const std::filesystem::path& inputPath,
                      const std::filesystem::path& outputPath) {
  lf_startSodium();
  errno = 0;
  std::ifstream in(inputPath, std::ios::binary);
  if (!in) {
    const auto reason = lf_lastError();
    throw DataFileNotRead(fmt::format("Could not open input file: {} ({})", inputPath.string(), reason.message()),
                          reason);
  }
  OutputFile out = lf_openOutput(outputPath);
  std::array<unsigned char, encHeaderBytes> header{};
  crypto_secretstream_xchacha20poly1305_state state;
  const auto wipeState = gsl::finally([&state] { sodium_memzero(&state, sizeof state); });
  if (lf_readUpTo(in, header) != header.size() ||
      crypto_secretstream_xchacha20poly1305_init_pull(&state, header.data(), key.data()) != 0) {
    throw std::runtime_error("Invalid header or key");
  }
  lf_pullMessages(state, in, out.get(), outputPath);
  lf_closeOutput(std::move(out), outputPath);
}

DecryptOutcome gf_streamDecrypt(const std::filesystem::path& encPath, const std::filesystem::path& plainPath) {
  std::array<std::uint8_t, dataFileKeyBytes> key = dataFileKey;
  const auto wipeKey = gsl::finally([&key] { sodium_memzero(key.data(), key.size()); });
  DecryptOutcome outcome;
  try {
    lf_streamDecrypt(key, encPath, plainPath);
    outcome.decrypted = true;
    return outcome;
  } catch (const std::exception& error) {
    gf_log(fmt::format("{} exception: {}", "gf_streamDecrypt", error.what()));
    if (const auto* notRead = dynamic_cast<const DataFileNotRead*>(&error)) {
      outcome.readFailure = notRead->reason();
    } else if (const auto* notWritten = dynamic_cast<const PlainFileNotWritten*>(&error)) {
      outcome.writeFailure = notWritten->reason();
    }
  }
  gf_removeFile(plainPath);
  return outcome;
}

void gf_removeFile(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) {
    return;
  }
  if (!std::filesystem::remove(path, error) && error) {
    gf_logFlagged(fmt::format("Warning: could not remove {}, errorcode: {}", path.string(), error.message()));
  }
}

}  // namespace cvl
