#include "refdata/decryption.h"

#include <fmt/format.h>
#include <sodium.h>

#include <array>
#include <fstream>
#include <gsl/narrow>
#include <gsl/util>
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

void lf_write(std::ostream& out, std::span<const unsigned char> bytes, const std::filesystem::path& outputPath) {
  out.write(reinterpret_cast<const char*>(bytes.data()), gsl::narrow<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("Could not write output file: " + outputPath.string());
  }
}

// Pulls every message after the header. Only a stream that closes with its FINAL message is whole: an empty or cut
// download must never pass for a data file. Bytes after a full FINAL message lie outside the authenticated stream and
// are not read; after a shorter one they join that message, which then fails.
void lf_pullMessages(crypto_secretstream_xchacha20poly1305_state& state, std::istream& in, std::ostream& out,
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
  std::ifstream in(inputPath, std::ios::binary);
  if (!in) {
    throw std::runtime_error("Could not open input file: " + inputPath.string());
  }
  std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
  if (!out) {
    throw std::runtime_error("Could not open output file: " + outputPath.string());
  }
  std::array<unsigned char, encHeaderBytes> header{};
  crypto_secretstream_xchacha20poly1305_state state;
  const auto wipeState = gsl::finally([&state] { sodium_memzero(&state, sizeof state); });
  if (lf_readUpTo(in, header) != header.size() ||
      crypto_secretstream_xchacha20poly1305_init_pull(&state, header.data(), key.data()) != 0) {
    throw std::runtime_error("Invalid header or key");
  }
  lf_pullMessages(state, in, out, outputPath);
  out.close();
  if (!out) {
    throw std::runtime_error("Could not write output file: " + outputPath.string());
  }
}

bool gf_streamDecrypt(const std::filesystem::path& encPath, const std::filesystem::path& plainPath) {
  std::array<std::uint8_t, dataFileKeyBytes> key = dataFileKey;
  const auto wipeKey = gsl::finally([&key] { sodium_memzero(key.data(), key.size()); });
  try {
    lf_streamDecrypt(key, encPath, plainPath);
    return true;
  } catch (const std::exception& error) {
    gf_log(fmt::format("{} exception: {}", "gf_streamDecrypt", error.what()));
  }
  gf_removeFile(plainPath);
  return false;
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
