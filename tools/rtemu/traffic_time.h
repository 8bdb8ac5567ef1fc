#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rtemu/recording.h"

// The data time of traffic lines: field 14 of the comma-separated line, Unix seconds. A replay moves it so that the
// recording's start is the moment the replay starts.
namespace cvl::rtemu {

inline constexpr std::size_t timestampField = 14;

// The number at the start of the line's timestamp field; nullopt when there is none.
std::optional<double> trafficTimestamp(std::string_view line);

// The line with its timestamp moved by `shiftSeconds`, written with as many decimals as it had. A line without a
// number there comes back unchanged: recordings of bad input keep their bad lines.
std::string shiftTrafficTimestamp(std::string_view line, double shiftSeconds);

// The data time at offset 0: the timestamp of the first traffic line that has one, less its offset.
std::optional<double> recordingStartTime(const std::vector<RecordedDatagram>& recording);

}  // namespace cvl::rtemu
