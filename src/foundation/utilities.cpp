#include "foundation/utilities.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace cvl {
namespace {

struct WsaError {
  std::int32_t number;
  std::string_view text;
};

constexpr WsaError lf_wsaErrors[] = {
    {10004, "Interrupted system call"},
    {10009, "Bad file number"},
    {10013, "Permission denied"},
    {10014, "Bad address"},
    {10022, "Invalid argument"},
    {10024, "Too many open sockets"},
    {10035, "Operation would block"},
    {10036, "Operation now in progress"},
    {10037, "Operation already in progress"},
    {10038, "Socket operation on non-socket"},
    {10039, "Destination address required"},
    {10040, "Messenger too long"},
    {10041, "Protocol wrong type for socket"},
    {10042, "Bad protocol option"},
    {10043, "Protocol not supported"},
    {10044, "Socket type not supported"},
    {10045, "Operation not supported on socket"},
    {10046, "Protocol family not supported"},
    {10047, "Address family not supported"},
    {10048, "Address already in use"},
    {10049, "Can't assign requested address"},
    {10050, "Network is down"},
    {10051, "Network is unreachable"},
    {10052, "Net connection reset"},
    {10053, "Software caused connection abort"},
    {10054, "Connection reset by peer"},
    {10055, "No buffer space available"},
    {10056, "Socket is already connected"},
    {10057, "Socket is not connected"},
    {10058, "Can't send numLines socket shutdown"},
    {10059, "Too many references, can't splice"},
    {10060, "Connection timed out"},
    {10061, "Connection refused"},
    {10062, "Too many levels of symbolic links"},
    {10063, "File name too long"},
    {10064, "Host is down"},
    {10065, "No route to host"},
    {10066, "Directory not empty"},
    {10067, "Too many processes"},
    {10068, "Too many users"},
    {10069, "Disc quota exceeded"},
    {10070, "Stale NFS file handle"},
    {10071, "Too many levels of remote in path"},
    {10091, "Network system is unavailable"},
    {10092, "Winsock version out of range"},
    {10093, "WSAStartup not yet called"},
    {10101, "Graceful shutdown in progress"},
    {11001, "Host not found"},
    {11004, "No host data of that type was found"},
};

}  // namespace

std::string gf_wsaErrorText(std::int32_t errorNumber) {
  const auto* found = std::find_if(std::begin(lf_wsaErrors), std::end(lf_wsaErrors),
                                   [errorNumber](const WsaError& error) { return error.number == errorNumber; });
  const std::string_view text = found == std::end(lf_wsaErrors) ? "Unknown errror code" : found->text;
  return fmt::format("{} {}", errorNumber, text);
}

std::string gf_numberText(float value) {
  return std::fmod(value, 1.0F) != 0.0F ? fmt::format("{:.1f}", value) : fmt::format("{:.0f}", value);
}

std::int32_t gf_percent(std::int64_t part, std::int64_t whole) {
  if (whole < 1) {
    return 0;
  }
  const double rounded = std::round(static_cast<double>(part) * 100.0 / static_cast<double>(whole));
  constexpr auto lowest = static_cast<double>(std::numeric_limits<std::int32_t>::min());
  constexpr auto highest = static_cast<double>(std::numeric_limits<std::int32_t>::max());
  return static_cast<std::int32_t>(std::clamp(rounded, lowest, highest));
}

std::string_view gf_pluralS(std::int64_t count) {
  return count == 1 || count < 0 ? "" : "s";
}

std::string_view gf_pluralSInt(std::int32_t count) {
  return gf_pluralS(count);
}

std::string_view gf_pluralSSize(std::uint64_t count) {
  return count == 1 ? "" : "s";
}

std::string gf_starBanner(std::int32_t widthA, std::int32_t widthB, bool leadingLineFeed, bool trailingLineFeed,
                          std::string_view text) {
  std::string banner = leadingLineFeed ? "\n" : "";
  std::int64_t width = std::int64_t{widthA} + widthB;
  width += width % 2 != 0 ? 1 : 0;
  const auto textLength = static_cast<std::int64_t>(text.size());
  if (text.empty()) {
    banner.append(static_cast<std::size_t>(std::max<std::int64_t>(width, 0)), '*');
  } else if (textLength + 2 < width) {
    const std::string stars(static_cast<std::size_t>(width / 2 - 1), '*');
    banner += fmt::format("{} {} {}", stars, text, stars);
  } else {
    banner += text;
  }
  if (trailingLineFeed) {
    banner += '\n';
  }
  return banner;
}

}  // namespace cvl
