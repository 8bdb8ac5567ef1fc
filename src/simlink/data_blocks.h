#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>

#include "simconnect/simconnect.h"

// Reading the data blocks of the simulator's SIMOBJECT_DATA messages. A block is outside input: its size is checked
// against the definition it should hold and against the message around it, and texts are read only within it.
namespace cvl {

// The block of the message, bounded by the message's size; empty when the message is too short for the block it
// announces.
std::span<const std::byte> lf_dataBlock(const SIMCONNECT_RECV_SIMOBJECT_DATA& message, std::uint32_t messageSize);

// Logs that a block of the request did not have the size of its definition.
void lf_logWrongBlockSize(std::uint32_t requestId, std::size_t size, std::size_t expected);

// A copy of a block of exactly the record's size; nothing (and a log line) for any other size.
template <class Record>
std::optional<Record> lf_blockAs(std::span<const std::byte> block, std::uint32_t requestId) {
  if (block.size() != sizeof(Record)) {
    lf_logWrongBlockSize(requestId, block.size(), sizeof(Record));
    return std::nullopt;
  }
  Record record;
  std::memcpy(&record, block.data(), sizeof(Record));
  return record;
}

// The text at the start of the block (or of a fixed-size field in it), up to its first NUL or the end.
std::string lf_blockText(std::span<const std::byte> block);

}  // namespace cvl
