#pragma once

#include <sodium.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "refdata/data_file_key.h"

namespace cvl::test {

// What a reader of an .enc file sees, message by message.
struct OpenedDataFile {
  std::string plain;
  std::vector<std::size_t> messageSizes;
  std::vector<unsigned char> tags;
};

// Opens an .enc file with the build's key the way the program does: the 24-byte header, then messages of at most 4096 +
// 17 bytes, pulled with libsodium. Throws when a header or message does not authenticate.
inline OpenedDataFile openDataFile(const std::string& encrypted) {
  constexpr std::size_t headerBytes = crypto_secretstream_xchacha20poly1305_HEADERBYTES;
  constexpr std::size_t messageBytes = 4096 + crypto_secretstream_xchacha20poly1305_ABYTES;
  if (sodium_init() < 0 || encrypted.size() < headerBytes) {
    throw std::runtime_error("no secret-stream header");
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(encrypted.data());
  crypto_secretstream_xchacha20poly1305_state state;
  if (crypto_secretstream_xchacha20poly1305_init_pull(&state, bytes, dataFileKey.data()) != 0) {
    throw std::runtime_error("header refused");
  }
  OpenedDataFile opened;
  std::vector<unsigned char> plain(4096);
  for (std::size_t offset = headerBytes; offset < encrypted.size();) {
    const std::size_t size = std::min(messageBytes, encrypted.size() - offset);
    unsigned long long plainSize = 0;
    unsigned char tag = 0;
    if (crypto_secretstream_xchacha20poly1305_pull(&state, plain.data(), &plainSize, &tag, bytes + offset, size,
                                                   nullptr, 0) != 0) {
      throw std::runtime_error("message refused");
    }
    opened.plain.append(reinterpret_cast<const char*>(plain.data()), plainSize);
    opened.messageSizes.push_back(size);
    opened.tags.push_back(tag);
    offset += size;
  }
  return opened;
}

}  // namespace cvl::test
