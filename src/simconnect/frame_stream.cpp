#include "simconnect/frame_stream.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace cvl::simconnect {
namespace {

constexpr int fullSocketWaitMs = 5000;
constexpr std::size_t lengthBytes = 4;

}  // namespace

bool waitForSocket(int socket, short events, int timeoutMs) {
  pollfd entry{socket, events, 0};
  int ready = 0;
  do {
    ready = ::poll(&entry, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  return ready > 0 && (entry.revents & events) != 0;
}

void FrameAssembler::append(std::span<const std::byte> bytes) {
  buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
  start_ = 0;
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

std::optional<Frame> FrameAssembler::next() {
  if (damaged_ || buffer_.size() - start_ < lengthBytes) {
    return std::nullopt;
  }
  std::uint32_t length = 0;
  for (std::size_t i = 0; i < lengthBytes; ++i) {
    length |= static_cast<std::uint32_t>(std::to_integer<std::uint8_t>(buffer_[start_ + i])) << (8 * i);
  }
  if (length > maxFrameBytes) {
    damaged_ = true;
    return std::nullopt;
  }
  if (buffer_.size() - start_ - lengthBytes < length) {
    return std::nullopt;
  }
  auto first = buffer_.begin() + static_cast<std::ptrdiff_t>(start_ + lengthBytes);
  Frame frame(first, first + length);
  start_ += lengthBytes + length;
  return frame;
}

bool writeFrame(int socket, std::span<const std::byte> frame) {
  if (frame.size() > maxFrameBytes) {
    return false;
  }
  Frame bytes;
  bytes.reserve(lengthBytes + frame.size());
  for (std::size_t i = 0; i < lengthBytes; ++i) {
    bytes.push_back(static_cast<std::byte>((frame.size() >> (8 * i)) & 0xFF));
  }
  bytes.insert(bytes.end(), frame.begin(), frame.end());

  std::size_t written = 0;
  while (written < bytes.size()) {
    const auto sent = ::send(socket, bytes.data() + written, bytes.size() - written, MSG_NOSIGNAL);
    if (sent >= 0) {
      written += static_cast<std::size_t>(sent);
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      if (!waitForSocket(socket, POLLOUT, fullSocketWaitMs)) {
        return false;
      }
    } else if (errno != EINTR) {
      return false;
    }
  }
  return true;
}

}  // namespace cvl::simconnect
