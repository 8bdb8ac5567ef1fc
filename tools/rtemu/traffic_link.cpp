#include "rtemu/traffic_link.h"

#include <fmt/format.h>

#include <array>
#include <vector>

#include "rtemu/service_lines.h"

namespace cvl::rtemu {
namespace {

using namespace std::chrono_literals;

// How long the link waits for data before it looks at drop() and stop requests again.
constexpr auto readWait = 50ms;
constexpr std::size_t receiveBufferSize = 16384;
// Corvalen's lines are short: a longer run of bytes without a line end is logged as one line and not kept.
constexpr std::size_t longestLine = 65536;

}  // namespace

TrafficLink::TrafficLink(LinkSettings settings, ReceivedLog& log, Notice notice)
    : settings_(std::move(settings)), log_(log), notice_(std::move(notice)) {}

TrafficLink::~TrafficLink() = default;

void TrafficLink::start() {
  thread_ = std::jthread([this](std::stop_token stop) { run(stop); });
}

void TrafficLink::drop() {
  {
    std::scoped_lock lock(mutex_);
    wanted_ = false;
  }
  changed_.notify_all();
}

void TrafficLink::reconnect() {
  {
    std::scoped_lock lock(mutex_);
    wanted_ = true;
  }
  changed_.notify_all();
}

int TrafficLink::connections() const {
  std::scoped_lock lock(mutex_);
  return connections_;
}

bool TrafficLink::waitForFirstConnection(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  return changed_.wait(lock, stop, [this] { return connections_ > 0; });
}

void TrafficLink::run(std::stop_token stop) {
  while (wanted(stop)) {
    if (connection_.valid()) {
      serve();
    } else {
      connect(stop);
    }
  }
}

bool TrafficLink::wanted(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  if (!wanted_ && connection_.valid()) {
    lock.unlock();
    close("the link is dropped");
    lock.lock();
  }
  changed_.wait(lock, stop, [this] { return wanted_; });
  return !stop.stop_requested();
}

void TrafficLink::connect(std::stop_token stop) {
  net::SocketOwner socket{net::openSocket(net::SocketKind::stream)};
  if (socket.valid() && net::connectTo(socket.get(), settings_.server) == 0) {
    net::setNoDelay(socket.get(), true);
    connection_ = std::move(socket);
    waitingNoticed_ = false;
    {
      std::scoped_lock lock(mutex_);
      ++connections_;
    }
    changed_.notify_all();
    notice_(fmt::format("connected to Corvalen at port {}", settings_.server.port));
    return;
  }
  if (!waitingNoticed_) {
    notice_(fmt::format("waiting for Corvalen at port {} (error {})", settings_.server.port, net::lastError()));
    waitingNoticed_ = true;
  }
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, stop, settings_.retryInterval, [this] { return !wanted_; });
}

void TrafficLink::serve() {
  const int ready = net::waitReadable(connection_.get(), readWait);
  if (ready == 0) {
    return;
  }
  std::array<char, receiveBufferSize> buffer{};
  const int count = ready == net::socketError ? net::socketError : net::receive(connection_.get(), buffer);
  if (count == 0) {
    close("Corvalen closed the link");
    return;
  }
  if (count == net::socketError) {
    close(fmt::format("the link failed with error {}", net::lastError()));
    return;
  }
  pending_.append(buffer.data(), static_cast<std::size_t>(count));

  std::vector<std::string> lines;
  std::size_t end = 0;
  while ((end = pending_.find('\n')) != std::string::npos) {
    std::string line = pending_.substr(0, end);
    if (line.ends_with('\r')) {
      line.pop_back();
    }
    lines.push_back(std::move(line));
    pending_.erase(0, end + 1);
  }
  if (pending_.size() > longestLine) {
    notice_("a line without end, logged as it is");
    lines.push_back(std::exchange(pending_, {}));
  }
  for (const std::string& line : lines) {
    log_.write(line);
    answer(line);
  }
}

void TrafficLink::close(std::string_view why) {
  if (!pending_.empty()) {
    log_.write(std::exchange(pending_, {}));
  }
  connection_.reset();
  notice_(why);
}

void TrafficLink::answer(std::string_view line) {
  if (line == versionRequest) {
    if (!settings_.versionReply.empty() && net::send(connection_.get(), settings_.versionReply) == net::socketError) {
      notice_(fmt::format("the version reply failed with error {}", net::lastError()));
    }
  } else if (line.starts_with("Qs121=")) {
    if (!parsePositionLine(line)) {
      notice_(fmt::format("a position line that does not read: {}", line));
    }
  } else if (line.starts_with("Qs123=")) {
    if (!parseTimeLine(line)) {
      notice_(fmt::format("a time line that does not read: {}", line));
    }
  } else if (line != "exit") {
    notice_(fmt::format("an unknown line: {}", line));
  }
}

}  // namespace cvl::rtemu
