#include "datatool/data_file_encryption.h"

#include <fmt/format.h>
#include <fmt/std.h>
#include <sodium.h>

#include <array>
#include <fstream>
#include <gsl/narrow>
#include <stdexcept>

#include "datatool/replacing_file_writer.h"

namespace cvl::datatool {
namespace {

using Chunk = std::array<unsigned char, dataFileChunkBytes>;
using SealedChunk = std::array<unsigned char, dataFileChunkBytes + crypto_secretstream_xchacha20poly1305_ABYTES>;

void startSodium() {
  if (sodium_init() < 0) {
    throw std::runtime_error("libsodium could not be initialised");
  }
}

void writeBytes(std::ostream& out, const unsigned char* bytes, std::size_t count) {
  out.write(reinterpret_cast<const char*>(bytes), gsl::narrow<std::streamsize>(count));
}

// Pushes the whole input as messages of dataFileChunkBytes; the message that reaches the end of the input carries
// FINAL, so an empty input still gets one (empty) FINAL message.
void pushChunks(std::istream& in, std::ostream& out, crypto_secretstream_xchacha20poly1305_state& state,
                const std::filesystem::path& plainPath) {
  Chunk plain{};
  SealedChunk sealed{};
  bool last = false;
  while (!last) {
    in.read(reinterpret_cast<char*>(plain.data()), plain.size());
    if (in.bad()) {
      throw std::runtime_error(fmt::format("cannot read {}", plainPath));
    }
    const auto plainCount = gsl::narrow<unsigned long long>(in.gcount());
    last = in.peek() == std::char_traits<char>::eof();
    const unsigned char tag =
        last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE;
    unsigned long long sealedCount = 0;
    crypto_secretstream_xchacha20poly1305_push(&state, sealed.data(), &sealedCount, plain.data(), plainCount, nullptr,
                                               0, tag);
    writeBytes(out, sealed.data(), gsl::narrow<std::size_t>(sealedCount));
  }
}

}  // namespace

void encryptDataFile(const std::filesystem::path& plainPath, const std::filesystem::path& encPath,
                     std::span<const std::uint8_t, dataFileKeyBytes> key) {
  startSodium();
  std::ifstream in(plainPath, std::ios::binary);
  if (!in) {
    throw std::runtime_error(fmt::format("cannot open {}", plainPath));
  }
  writeFileReplacing(encPath, [&](std::ostream& out) {
    crypto_secretstream_xchacha20poly1305_state state;
    std::array<unsigned char, crypto_secretstream_xchacha20poly1305_HEADERBYTES> header{};
    crypto_secretstream_xchacha20poly1305_init_push(&state, header.data(), key.data());
    writeBytes(out, header.data(), header.size());
    pushChunks(in, out, state, plainPath);
    sodium_memzero(&state, sizeof state);
  });
}

}  // namespace cvl::datatool
