// Traffic lines parsed per second by the traffic reader, as its receive loop hands them on: accepted reports (queued,
// then taken away in batches as the engine would) and a mix with lines the parser refuses.
#include <benchmark/benchmark.h>

#include <array>
#include <mutex>
#include <string>

#include "foundation/settings_catalogue.h"
#include "trafficin/traffic_queue.h"
#include "trafficin/traffic_reader.h"

namespace {

const std::array<std::string, 4> acceptedLines{
    "x,4840000,51.4700,-0.4543,3500,-768,0,270.5,160,BAW123,A320,G-EUPT,LHR,EDI,1700000000.5,0,0,adsb_icao,0,0,180,0,"
    "0,-2.5,0,271.0,0,0,A3",
    "x,4840001,51.4712,-0.4601,83,0,0,,12,BAW456,A320,G-EUYA,null,null,1700000003,0,0,adsb_icao,0,0,-1,0,0,0,0,0,0,0,"
    "null",
    "x,4840002,51.5800,-0.2000,12000,1800,0,90,310,KLM1002,B738,PH-BXA,AMS,LHR,1700000004.75,0,0,mlat,0,0,-1,0,0,3,0,"
    "0,0,0,A3",
    "x,4840003,51.3000,-0.7000,36000,0,0,45.5,460,DLH4AB,A21N,D-AIEA,FRA,DUB,1700000005,0,0,adsb_icao,0,0,470,0,0,0,"
    "0,46.0,0,0,A3",
};

const std::array<std::string, 4> refusedLines{
    "x,1234,51.4700,-0.4543,3500,-768,0,270.5,160,BAW123,A320,G-EUPT,LHR,EDI,1700000000.5,0,0,adsb_icao,0,0,180,0,0,"
    "-2.5,0,271.0,0,0,A3",
    "x,4840005,48.0000,-0.4543,3500,-768,0,270.5,160,BAW123,A320,G-EUPT,LHR,EDI,1700000000.5,0,0,adsb_icao,0,0,180,0,"
    "0,-2.5,0,271.0,0,0,A3",
    "x,4840006,51.4700,-0.4543,3500,-768,0,270.5,160,BAW123,GLID,G-EUPT,LHR,EDI,1700000000.5,0,0,adsb_icao,0,0,180,0,"
    "0,-2.5,0,271.0,0,0,B4",
    "x,abc,51.4700,-0.4543,3500,-768,0,270.5,160,BAW123,A320,G-EUPT,LHR,EDI,1700000000.5,0,0,adsb_icao,0,0,180,0,0,"
    "-2.5,0,271.0,0,0,A3",
};

void lf_prepare() {
  cvl::rangeNm = 40.0;
  cvl::trafficReader.setRefPosition({51.47, -0.4543});
  cvl::trafficReader.setParkAirport(cvl::ParkAirportPlace{{51.47, -0.4543}, 80.0});
  cvl::trafficReader.setRefElevation(80.0);
  const std::lock_guard lock{cvl::trafficQueueMutex};
  cvl::acceptTraffic = true;
}

void lf_hand(const std::string& line) {
  cvl::trafficReader.data = line.data();
  cvl::trafficReader.length = line.size();
  cvl::trafficReader.onDatagram();
}

void lf_drainQueueNowAndThen(std::size_t parsed) {
  if (parsed % 256 == 0) {
    const std::lock_guard lock{cvl::trafficQueueMutex};
    cvl::trafficQueue.clear();
  }
}

void BM_AcceptedLines(benchmark::State& state) {
  lf_prepare();
  std::size_t parsed = 0;
  for (auto _ : state) {
    lf_hand(acceptedLines[parsed % acceptedLines.size()]);
    lf_drainQueueNowAndThen(++parsed);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(parsed));
  state.SetLabel("lines");
}
BENCHMARK(BM_AcceptedLines);

void BM_MixedLines(benchmark::State& state) {
  lf_prepare();
  std::size_t parsed = 0;
  for (auto _ : state) {
    const std::size_t index = parsed / 2 % acceptedLines.size();
    lf_hand(parsed % 2 == 0 ? acceptedLines[index] : refusedLines[index]);
    lf_drainQueueNowAndThen(++parsed);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(parsed));
  state.SetLabel("lines");
}
BENCHMARK(BM_MixedLines);

}  // namespace
