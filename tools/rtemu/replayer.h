#pragma once

#include <cstddef>
#include <functional>
#include <stop_token>
#include <vector>

#include "rtemu/notice.h"
#include "rtemu/recording.h"
#include "rtemu/udp_sender.h"

// Plays a recording: each datagram goes out at its offset from the start of the pass, traffic lines with their
// timestamps moved so that the recording's start time becomes the wall-clock time of the pass's start, and with the
// aircraft of the pass's round.
namespace cvl::rtemu {

// The wall-clock time in Unix seconds.
double unixTimeNow();

struct ReplaySettings {
  // 2 plays twice as fast; the timestamps keep the recorded spacing.
  double speed = 1.0;
  // Starts again at the end, with timestamps moved to the new pass's start and other aircraft (lineForRound).
  bool loop = false;
  std::function<double()> wallClock = unixTimeNow;
};

class Replayer {
 public:
  Replayer(std::vector<RecordedDatagram> recording, UdpSender& sender, ReplaySettings settings, Notice notice);

  // Plays until the recording ends (never, when looping and not empty) or `stop` is requested. Returns the count of
  // datagrams sent.
  std::size_t run(std::stop_token stop);

 private:
  bool playPass(std::stop_token stop, unsigned round, std::size_t& sent);

  std::vector<RecordedDatagram> recording_;
  UdpSender& sender_;
  ReplaySettings settings_;
  Notice notice_;
  double recordingStart_ = 0.0;
};

}  // namespace cvl::rtemu
