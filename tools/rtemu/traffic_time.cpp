#include "rtemu/traffic_time.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>

#include "rtemu/traffic_fields.h"

namespace cvl::rtemu {
namespace {

struct NumberSpan {
  std::size_t begin = 0;
  std::size_t length = 0;
  double value = 0.0;
};

std::optional<NumberSpan> lf_timestampSpan(std::string_view line) {
  const auto field = fieldSpan(line, timestampField);
  if (!field) {
    return std::nullopt;
  }
  const char* first = line.data() + field->begin;
  double value = 0.0;
  const auto [end, error] = std::from_chars(first, first + field->length, value);
  const std::string_view number(first, static_cast<std::size_t>(end - first));
  // Exponent forms are no timestamps a sender writes: such a line is bad input, kept as it is.
  if (error != std::errc{} || !std::isfinite(value) || number.find_first_of("eE") != std::string_view::npos) {
    return std::nullopt;
  }
  return NumberSpan{field->begin, number.size(), value};
}

int lf_decimals(std::string_view number) {
  const std::size_t point = number.find('.');
  return point == std::string_view::npos ? 0 : static_cast<int>(number.size() - point - 1);
}

}  // namespace

std::optional<double> trafficTimestamp(std::string_view line) {
  const auto span = lf_timestampSpan(line);
  return span ? std::optional{span->value} : std::nullopt;
}

std::string shiftTrafficTimestamp(std::string_view line, double shiftSeconds) {
  const auto span = lf_timestampSpan(line);
  if (!span) {
    return std::string(line);
  }
  const int decimals = lf_decimals(line.substr(span->begin, span->length));
  std::string shifted(line.substr(0, span->begin));
  shifted += fmt::format("{:.{}f}", span->value + shiftSeconds, decimals);
  shifted += line.substr(span->begin + span->length);
  return shifted;
}

std::optional<double> recordingStartTime(const std::vector<RecordedDatagram>& recording) {
  for (const RecordedDatagram& datagram : recording) {
    if (datagram.kind != DatagramKind::traffic) {
      continue;
    }
    if (const auto timestamp = trafficTimestamp(datagram.payload)) {
      return *timestamp - datagram.offsetSeconds;
    }
  }
  return std::nullopt;
}

}  // namespace cvl::rtemu
