#include "refdata/data_file_sealing.h"

#include <sodium.h>

#include <array>
#include <fstream>
#include <gsl/narrow>
#include <gsl/util>
#include <stdexcept>

#include "refdata/decryption.h"

namespace cvl {

std::string gf_sealDataBytes(std::string_view plain, std::span<const std::uint8_t, dataFileKeyBytes> key) {
  if (sodium_init() < 0) {
    throw std::runtime_error("libsodium could not be initialised");
  }
  std::string sealed(encHeaderBytes, '\0');
  crypto_secretstream_xchacha20poly1305_state state;
  const auto wipeState = gsl::finally([&state] { sodium_memzero(&state, sizeof state); });
  crypto_secretstream_xchacha20poly1305_init_push(&state, reinterpret_cast<unsigned char*>(sealed.data()), key.data());
  std::array<unsigned char, encSealedChunkBytes> message{};
  bool last = false;
  while (!last) {
    const auto chunk = plain.substr(0, encPlainChunkBytes);
    plain.remove_prefix(chunk.size());
    last = plain.empty();
    const unsigned char tag =
        last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE;
    unsigned long long messageCount = 0;
    crypto_secretstream_xchacha20poly1305_push(&state, message.data(), &messageCount,
                                               reinterpret_cast<const unsigned char*>(chunk.data()), chunk.size(),
                                               nullptr, 0, tag);
    sealed.append(reinterpret_cast<const char*>(message.data()), gsl::narrow<std::size_t>(messageCount));
  }
  return sealed;
}

void gf_writeSealedDataFile(const std::filesystem::path& path, std::string_view plain,
                            std::span<const std::uint8_t, dataFileKeyBytes> key) {
  const auto sealed = gf_sealDataBytes(plain, key);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(sealed.data(), gsl::narrow<std::streamsize>(sealed.size()));
  file.close();
  if (!file) {
    throw std::runtime_error("Could not write " + path.string());
  }
}

}  // namespace cvl
