#pragma once

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "engine/tick_count.h"
#include "engine_rules_fixture.h"
#include "engine_step_fixture.h"
#include "foundation/settings_catalogue.h"
#include "parking/current_park_airport.h"
#include "parking/park_pos.h"
#include "simulator_stand_in.h"
#include "trafficin/traffic_queue.h"

namespace cvl::test {

inline constexpr double metresPerFoot = 0.3048;
inline constexpr double firstTimestamp = 1'700'000'000.0;
inline constexpr std::int32_t reportDelayTicks = 3000;
// The hub's row of stands faces north, 150 m apart, with the taxi lane 130 m behind them: aircraft pushed back stand
// clear of those taxiing.
inline const LatLon hub{50.03, 8.57};
inline constexpr std::size_t standCount = 24;
inline constexpr double standSpacingMetres = 150.0;
inline constexpr double laneMetres = 130.0;
inline constexpr std::size_t wantedParked = 10;

inline LatLon lf_from(const LatLon& point, double bearing, double metres) {
  return gf_destinationPoint(point, bearing, metres / metresPerFoot);
}

// The reports of the flights, each queued when its second comes if the feed sends it: the feed sends what lies within
// the range of where the user was last. Each falls due 30 s after it arrives.
class Feed {
 public:
  void report(std::uint32_t hexid, const std::string& callsign, std::int32_t second, const LatLon& at, double altitude,
              double speed, double trackDegrees, const std::string& type = "A320") {
    TrafficItem item = EngineStep::item(hexid, callsign, at.lat, at.lon, altitude, firstTimestamp + second, 0);
    item.type = type;
    item.position.groundSpeed = speed;
    item.position.tas = speed;
    item.position.track = trackDegrees;
    pending_.emplace_back(second, std::move(item));
  }

  void sort() {
    std::stable_sort(pending_.begin(), pending_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  }

  void queueUntil(std::int32_t second, const LatLon& user) {
    const std::lock_guard lock{trafficQueueMutex};
    for (; next_ < pending_.size() && pending_[next_].first <= second; ++next_) {
      TrafficItem& item = pending_[next_].second;
      if (gf_distanceNM(user, {item.position.lat, item.position.lon}) > rangeNm.load()) {
        continue;
      }
      delivered_[item.hexid].push_back(pending_[next_].first);
      item.position.dueTick = tickCount + reportDelayTicks;
      trafficQueue.push_back(std::move(item));
    }
  }

  // Whether the flight's reports came from `from` to `to` (seconds) with no pause of more than half a minute.
  bool reportedThroughout(std::uint32_t hexid, double from, double to) const {
    constexpr double longestPause = 30.0;
    const auto found = delivered_.find(hexid);
    if (found == delivered_.end()) {
      return false;
    }
    const std::vector<std::int32_t>& seconds = found->second;
    auto next = std::upper_bound(seconds.begin(), seconds.end(), from);
    if (next == seconds.begin()) {
      return false;
    }
    double last = *(next - 1);
    for (; next != seconds.end() && *next <= to; ++next) {
      if (*next - last > longestPause) {
        return false;
      }
      last = *next;
    }
    return to - last <= longestPause;
  }

  // By hexid, the seconds the flight was reported for: those between reports no more than half a minute apart.
  std::map<std::uint32_t, std::int32_t> reportedSeconds() const {
    constexpr std::int32_t longestPause = 30;
    std::map<std::uint32_t, std::int32_t> reported;
    for (const auto& [hexid, seconds] : delivered_) {
      std::int32_t& sum = reported[hexid];
      for (std::size_t i = 1; i < seconds.size(); ++i) {
        sum += seconds[i] - seconds[i - 1] <= longestPause ? seconds[i] - seconds[i - 1] : 0;
      }
    }
    return reported;
  }

  // By hexid, where each flight is reported at each second it is, in order: where the tests expect it to be.
  std::map<std::uint32_t, std::vector<std::pair<std::int32_t, LatLon>>> tracks() const {
    std::map<std::uint32_t, std::vector<std::pair<std::int32_t, LatLon>>> tracks;
    for (const auto& [second, item] : pending_) {
      tracks[item.hexid].emplace_back(second, LatLon{item.position.lat, item.position.lon});
    }
    for (auto& [hexid, track] : tracks) {
      std::stable_sort(track.begin(), track.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    return tracks;
  }

  // The second of the flight's last report.
  std::int32_t lastReport(std::uint32_t hexid) const { return delivered_.at(hexid).back(); }

 private:
  std::vector<std::pair<std::int32_t, TrafficItem>> pending_;
  std::size_t next_ = 0;
  std::map<std::uint32_t, std::vector<std::int32_t>> delivered_;
};

// A park airport of 24 stands in a row, ten parked aircraft wanted. The user aircraft is nowhere until a test places
// it.
class BusyHub : public EngineStep {
 protected:
  BusyHub() {
    currentParkAirport = Airport{"EDDF", "FRA", hub.lat, hub.lon, 0.0, 0};
    for (std::uint32_t sid = 1; sid <= standCount; ++sid) {
      ParkPos& stand = parkPositions.emplace_back();
      const LatLon place = lf_from(hub, std::numbers::pi / 2.0, standSpacingMetres * sid);
      stand.id = fmt::format("G{}", sid);
      stand.latitude = place.lat;
      stand.longitude = place.lon;
      stand.radius = 0.02;
      stand.sid = sid;
    }
  }

  static LatLon standPlace(std::uint32_t sid) {
    const ParkPos& stand = parkPositions[sid - 1];
    return {stand.latitude, stand.longitude};
  }

  // A flight at the stand. An arriving one taxis along the lane from the east and stops 8 m short of the stand;
  // otherwise it is first seen standing on it. It stands there until `departs` (when before `ends`), is pushed back
  // towards the lane and taxis away west along it. Its reports end at `ends` in any case.
  void atStand(std::uint32_t hexid, const std::string& callsign, std::uint32_t sid, std::int32_t second, bool arrives,
               std::int32_t departs, std::int32_t ends) {
    const LatLon place = standPlace(sid);
    const double back = std::numbers::pi;
    const LatLon lane = lf_from(place, back, laneMetres);
    const auto add = [&](const LatLon& at, double speed, double track, std::int32_t afterSeconds) {
      if (second <= ends) {
        feed.report(hexid, callsign, second, at, 0.0, speed, track);
      }
      second += afterSeconds;
    };
    if (arrives) {
      for (double metres = 300.0; metres > 0.0; metres -= 30.0) {
        add(lf_from(lane, std::numbers::pi / 2.0, metres), 12.0, 270.0, 5);
      }
      add(lf_from(place, back, 60.0), 6.0, 0.0, 5);
      add(lf_from(place, back, 30.0), 6.0, 0.0, 5);
    }
    const LatLon standing = arrives ? lf_from(place, back, 8.0) : place;
    while (second < std::min(departs, ends)) {
      add(standing, 0.0, 0.0, 20);
    }
    for (const double metres : {25.0, 45.0, 65.0}) {
      add(lf_from(place, back, metres), 3.0, 0.0, 5);
    }
    second += 20;
    for (double metres = 50.0; metres <= 400.0; metres += 30.0) {
      add(lf_from(lane, -std::numbers::pi / 2.0, metres), 12.0, 270.0, 5);
    }
  }

  WantedParkedSettings settings_{static_cast<std::int32_t>(wantedParked)};
  SimulatorStandIn simulator;
  Feed feed;
};

}  // namespace cvl::test
