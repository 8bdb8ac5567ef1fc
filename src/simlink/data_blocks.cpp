#include "simlink/data_blocks.h"

#include <fmt/format.h>

#include <algorithm>

#include "foundation/log.h"

namespace cvl {

std::span<const std::byte> lf_dataBlock(const SIMCONNECT_RECV_SIMOBJECT_DATA& message, std::uint32_t messageSize) {
  const std::size_t offset = SIMCONNECT_RECV_SIMOBJECT_DATA::blockOffset;
  if (messageSize < offset || messageSize - offset < message.dwDataSize) {
    return {};
  }
  return {message.data(), message.dwDataSize};
}

void lf_logWrongBlockSize(std::uint32_t requestId, std::size_t size, std::size_t expected) {
  gf_logFlagged(fmt::format("! SimConnect data of request {}: {} bytes, {} expected", requestId, size, expected));
}

std::string lf_blockText(std::span<const std::byte> block) {
  const auto* text = reinterpret_cast<const char*>(block.data());
  const auto end = std::find(text, text + block.size(), '\0');
  return {text, end};
}

}  // namespace cvl
