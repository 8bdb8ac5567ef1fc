#include "trafficin/reader_control.h"

#include <thread>

#include "trafficin/qnh_reader.h"
#include "trafficin/reader_threads.h"
#include "trafficin/traffic_reader.h"

namespace cvl {
namespace {

constexpr std::chrono::milliseconds stopPollInterval{20};

void lf_resetCounters(UdpReader& reader) {
  reader.stop = false;
  reader.datagramCount = 0;
  reader.lastCheckedCount = 0;
}

}  // namespace

void gf_stopReaders() {
  qnhReader.stop = true;
  trafficReader.stop = true;
}

bool gf_waitForReadersToStop(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (qnhReader.threadRunning || trafficReader.threadRunning) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(stopPollInterval);
  }
  return true;
}

void gf_resetReaders() {
  trafficReader.qnh = 1013;
  trafficReader.latestTime = 0.0;
  trafficReader.clearCallsignsSeen();
  lf_resetCounters(trafficReader);
  trafficReceiving = true;
  qnhReader.lastQnh = 1013;
  lf_resetCounters(qnhReader);
  weatherReceiving = true;
}

}  // namespace cvl
