#include "trafficin/reader_threads.h"

#include <fmt/format.h>

#include <exception>
#include <string_view>

#include "app/closing_down.h"
#include "app/main_window.h"
#include "foundation/log.h"
#include "trafficin/qnh_reader.h"
#include "trafficin/traffic_reader.h"
#include "trafficin/udp_reader.h"

namespace cvl {
namespace {

void lf_logConnected(std::string_view name) {
  gf_logIndented(fmt::format("{} connected", name));
}

void lf_logDisconnected(std::string_view name) {
  gf_logIndented(fmt::format("{} disconnected", name));
}

void lf_showTrafficReceiving() {
  mainWindow.trafficLamp = 1;
  gf_invalidateBand(rcHeader);
  mainWindow.weatherLamp = 1;
  gf_invalidateBand(rcHeader);
}

void lf_showWeatherReceiving() {
  mainWindow.weatherLamp = 1;
  gf_invalidateBand(rcHeader);
}

void lf_releaseSocket(UdpReader& reader) {
  gf_udpCloseSocket(reader);
  net::cleanup();
}

void lf_runReader(UdpReader& reader, std::uint16_t port, void (*showReceiving)()) {
  reader.threadRunning = true;
  try {
    gf_udpStartup(reader);
    gf_udpCreateSocket(reader);
    gf_udpBind(reader, port);
    showReceiving();
    lf_logConnected(reader.name);
    gf_udpReceiveLoop(reader);
    lf_releaseSocket(reader);
  } catch (const std::exception& error) {
    lf_releaseSocket(reader);
    gf_readerStopped(reader.name, error.what());
  }
  reader.malformedLog.restart();
  lf_logDisconnected(reader.name);
  reader.threadRunning = false;
}

void lf_checkActivity(UdpReader& reader, std::atomic<std::uint32_t>& lamp, std::atomic<bool>& receiving) {
  const std::uint32_t count = reader.datagramCount;
  if (count == reader.lastCheckedCount) {
    lamp = 2;
    gf_invalidateBand(rcHeader);
    receiving = false;
  } else if (!receiving.exchange(true)) {
    lamp = 1;
    gf_invalidateBand(rcHeader);
  }
  reader.lastCheckedCount = count;
}

}  // namespace

std::atomic<bool> trafficReceiving{true};
std::atomic<bool> weatherReceiving{true};

void lf_trafficReaderThread(std::uint16_t port) {
  lf_runReader(trafficReader, port, lf_showTrafficReceiving);
}

void lf_qnhReaderThread(std::uint16_t port) {
  lf_runReader(qnhReader, port, lf_showWeatherReceiving);
}

void gf_checkReaderActivity() {
  if (!mainWindow.realTrafficLamp) {
    return;
  }
  lf_checkActivity(qnhReader, mainWindow.weatherLamp, weatherReceiving);
  lf_checkActivity(trafficReader, mainWindow.trafficLamp, trafficReceiving);
}

}  // namespace cvl
