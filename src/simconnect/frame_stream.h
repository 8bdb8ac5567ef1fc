#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "simconnect/wire.h"

// The message stream on a socket: each frame is its length as a 32-bit little-endian number, then its bytes.
namespace cvl::simconnect {

// A longer frame means the stream is damaged.
inline constexpr std::uint32_t maxFrameBytes = 4u << 20;

// Cuts received bytes into whole frames.
class FrameAssembler {
 public:
  void append(std::span<const std::byte> bytes);
  // The next whole frame, or nullopt until more bytes come (or for good, once damaged() holds).
  std::optional<Frame> next();
  bool damaged() const { return damaged_; }

 private:
  Frame buffer_;
  std::size_t start_ = 0;
  bool damaged_ = false;
};

// Waits up to the time for the socket to be ready for the poll events; false when it did not become ready.
bool waitForSocket(int socket, short events, int timeoutMs);

// Writes one frame with its length, waiting while the socket is full (at most a few seconds: a peer that reads
// nothing for that long is taken as gone). False when the frame could not be written whole.
bool writeFrame(int socket, std::span<const std::byte> frame);

}  // namespace cvl::simconnect
