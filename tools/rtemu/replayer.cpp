#include "rtemu/replayer.h"

#include <fmt/format.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "rtemu/round_identity.h"
#include "rtemu/traffic_time.h"

namespace cvl::rtemu {
namespace {

// Sleeps until the time comes; false when a stop was requested first.
bool lf_sleepUntil(std::chrono::steady_clock::time_point due, std::stop_token stop) {
  std::mutex mutex;
  std::condition_variable_any never;
  std::unique_lock lock(mutex);
  never.wait_until(lock, stop, due, [] { return false; });
  return !stop.stop_requested();
}

}  // namespace

double unixTimeNow() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

Replayer::Replayer(std::vector<RecordedDatagram> recording, UdpSender& sender, ReplaySettings settings, Notice notice)
    : recording_(std::move(recording)),
      sender_(sender),
      settings_(std::move(settings)),
      notice_(std::move(notice)),
      recordingStart_(recordingStartTime(recording_).value_or(0.0)) {}

std::size_t Replayer::run(std::stop_token stop) {
  std::size_t sent = 0;
  bool again = true;
  for (unsigned round = 0; again; ++round) {
    again = playPass(stop, round, sent) && settings_.loop && !recording_.empty();
  }
  return sent;
}

bool Replayer::playPass(std::stop_token stop, unsigned round, std::size_t& sent) {
  const auto passStart = std::chrono::steady_clock::now();
  const double shift = settings_.wallClock() - recordingStart_;
  for (const RecordedDatagram& datagram : recording_) {
    const auto due = passStart + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                     std::chrono::duration<double>(datagram.offsetSeconds / settings_.speed));
    if (!lf_sleepUntil(due, stop)) {
      return false;
    }
    const std::string payload = datagram.kind == DatagramKind::traffic
                                    ? shiftTrafficTimestamp(lineForRound(datagram.payload, round), shift)
                                    : datagram.payload;
    if (sender_.send(datagram.kind, payload)) {
      ++sent;
    } else {
      notice_(fmt::format("a datagram could not be sent, error {}: {}", net::lastError(), payload));
    }
  }
  return true;
}

}  // namespace cvl::rtemu
