#include "traffic_watch.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <pugixml.hpp>
#include <sstream>

#include "support/sample_data.h"

namespace cvl::test {

std::vector<std::string> fieldsOf(std::string_view payload) {
  std::vector<std::string> fields;
  for (std::size_t start = 0;;) {
    const auto comma = payload.find(',', start);
    fields.emplace_back(payload.substr(start, comma - start));
    if (comma == std::string_view::npos) {
      return fields;
    }
    start = comma + 1;
  }
}

std::string tailOf(const std::vector<std::string>& fields) {
  return fields.at(9) != "null" ? fields.at(9) : fields.at(11);
}

std::map<std::string, Track> tracksOf(const std::vector<rtemu::RecordedDatagram>& recording) {
  std::map<std::string, Track> tracks;
  for (const auto& datagram : recording) {
    if (datagram.kind != rtemu::DatagramKind::traffic) {
      continue;
    }
    const auto fields = fieldsOf(datagram.payload);
    tracks[tailOf(fields)].push_back(
        {datagram.offsetSeconds, {std::stod(fields.at(2)), std::stod(fields.at(3))}, std::stod(fields.at(8))});
  }
  return tracks;
}

int freeTcpPort() {
  const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  const bool bound = probe >= 0 && ::bind(probe, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
                     ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0;
  if (probe >= 0) {
    ::close(probe);
  }
  return bound ? ntohs(address.sin_port) : 0;
}

std::map<std::string, Stand> sampleStands() {
  pugi::xml_document document;
  document.load_file((sampleDataFolder() / "airports/archive/stock/EDDF.xml").c_str());
  std::map<std::string, Stand> stands;
  for (const auto& found : document.select_nodes("//parkpos")) {
    const auto stand = found.node();
    stands[stand.attribute("id").value()] = {
        {stand.attribute("latitude").as_double(), stand.attribute("longitude").as_double()},
        stand.attribute("heading").as_double()};
  }
  return stands;
}

double metresBetween(const LatLon& a, const LatLon& b) {
  return gf_distanceNM(a, b) * metresPerNauticalMile;
}

std::optional<std::string> standAt(const LatLon& place, const std::map<std::string, Stand>& stands) {
  for (const auto& [name, stand] : stands) {
    if (metresBetween(place, stand.place) <= standReachMetres) {
      return name;
    }
  }
  return std::nullopt;
}

namespace {

// The stand a report of a standing aircraft lies on, if any.
std::optional<std::string> standOf(const Report& report, const std::map<std::string, Stand>& stands) {
  return report.groundSpeed > 0.0 ? std::nullopt : standAt(report.place, stands);
}

}  // namespace

StandTraffic standTrafficOf(const std::vector<rtemu::RecordedDatagram>& recording,
                            const std::map<std::string, Stand>& stands) {
  StandTraffic traffic;
  for (const auto& [tail, track] : tracksOf(recording)) {
    const auto first = standOf(track.front(), stands);
    if (!first) {
      if (const auto last = standOf(track.back(), stands)) {
        traffic.arriving[tail] = *last;
      }
      continue;
    }
    const bool stays =
        std::all_of(track.begin(), track.end(), [&](const Report& report) { return standOf(report, stands) == first; });
    (stays ? traffic.parked : traffic.departing)[tail] = *first;
  }
  for (const auto& datagram : recording) {
    if (datagram.kind == rtemu::DatagramKind::traffic) {
      const auto fields = fieldsOf(datagram.payload);
      traffic.registrations[tailOf(fields)] = fields.at(11);
    }
  }
  return traffic;
}

std::map<std::string, std::string> arrivalsIn(const std::string& log) {
  std::map<std::string, std::string> arrivals;
  std::istringstream lines{log};
  for (std::string line; std::getline(lines, line);) {
    if (line.ends_with(" arrived at stand")) {
      std::istringstream words{line};
      std::string stand;
      std::string colon;
      std::string callsign;
      words >> stand >> colon >> callsign;
      arrivals[callsign] = stand;
    }
  }
  return arrivals;
}

std::set<LearnedOption> learnedOptions(const std::filesystem::path& programFolder) {
  std::set<LearnedOption> options;
  const auto learned = programFolder / "airports" / "learned";
  if (!std::filesystem::exists(learned)) {
    return options;
  }
  for (const auto& entry : std::filesystem::recursive_directory_iterator(learned)) {
    pugi::xml_document document;
    if (entry.path().extension() != ".xml" || !document.load_file(entry.path().c_str())) {
      continue;
    }
    for (const auto& found : document.select_nodes("//parkpos/opt")) {
      options.insert({found.parent().attribute("id").value(), found.node().attribute("reg").value(),
                      found.node().attribute("cs").value()});
    }
  }
  return options;
}

Sample liveAircraftIn(const SimulatorState& state, std::chrono::system_clock::time_point replayStart) {
  Sample sample{std::chrono::duration<double>(state.written - replayStart).count(), {}};
  for (const auto& object : state.json.value("objects", nlohmann::json::array())) {
    const std::string tail = object.value("tail", "");
    if (object.value("createdBy", nlohmann::json{}) == "Corvalen" && !tail.empty() && !tail.ends_with('*')) {
      sample.aircraft[tail] = {{object.value("lat", 0.0), object.value("lon", 0.0)}, object.value("heading", 0.0)};
    }
  }
  return sample;
}

void Watch::add(Sample sample) {
  if (samples_.empty() || samples_.back().offset != sample.offset) {
    samples_.push_back(std::move(sample));
  }
}

bool Watch::seen(const std::string& tail) const {
  return std::any_of(samples_.begin(), samples_.end(), [&](const Sample& s) { return s.aircraft.contains(tail); });
}

std::optional<double> Watch::lastSeen(const std::string& tail) const {
  const auto last =
      std::find_if(samples_.rbegin(), samples_.rend(), [&](const Sample& s) { return s.aircraft.contains(tail); });
  return last == samples_.rend() ? std::nullopt : std::optional{last->offset};
}

std::optional<double> Watch::goneAt(const std::string& tail) const {
  const auto last =
      std::find_if(samples_.rbegin(), samples_.rend(), [&](const Sample& s) { return s.aircraft.contains(tail); });
  if (last == samples_.rend() || last == samples_.rbegin()) {
    return std::nullopt;
  }
  return (last - 1)->offset;
}

std::set<std::string> Watch::tails() const {
  std::set<std::string> all;
  for (const auto& sample : samples_) {
    for (const auto& [tail, shown] : sample.aircraft) {
      all.insert(tail);
    }
  }
  return all;
}

std::optional<double> Watch::settledHeading(const std::string& tail) const {
  std::vector<double> headings;
  for (auto sample = samples_.rbegin(); sample != samples_.rend() && headings.size() < 2; ++sample) {
    if (const auto shown = sample->aircraft.find(tail); shown != sample->aircraft.end()) {
      headings.push_back(shown->second.heading);
    }
  }
  if (headings.size() < 2 || std::abs(headings[0] - headings[1]) > 0.01) {
    return std::nullopt;
  }
  return headings[0];
}

}  // namespace cvl::test
