#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <stop_token>
#include <string_view>
#include <thread>

#include "rtemu/notice.h"
#include "rtemu/options.h"
#include "rtemu/received_log.h"
#include "rtemu/replayer.h"
#include "rtemu/traffic_link.h"
#include "rtemu/udp_sender.h"

// The whole traffic service: the TCP link and the replay of the recording, as the command line sets them up. The
// replay waits for the link's first connection unless told to start at once or there is no link.
namespace cvl::rtemu {

class Emulator {
 public:
  // Reads the recording and creates the log; throws std::runtime_error when either fails or a host is unknown.
  Emulator(const Options& options, Notice notice);
  ~Emulator();
  Emulator(const Emulator&) = delete;
  Emulator& operator=(const Emulator&) = delete;

  void start();

  // Carries out a command line of standard input: "drop", "reconnect" or "quit". False after "quit".
  bool command(std::string_view line);

  // The replay has sent its recording to the end (never while looping, nor without a recording).
  bool finished() const { return finished_; }

 private:
  void replay(std::stop_token stop);

  Notice notice_;
  bool startNow_;
  std::unique_ptr<ReceivedLog> log_;
  std::unique_ptr<TrafficLink> link_;
  std::optional<UdpSender> sender_;
  std::optional<Replayer> replayer_;
  std::atomic<bool> finished_{false};
  std::jthread replayThread_;
};

}  // namespace cvl::rtemu
