#include "trafficin/qnh_reader.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <gsl/narrow>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "app/main_window.h"
#include "foundation/log.h"
#include "trafficin/leading_number.h"
#include "trafficin/traffic_reader.h"

namespace cvl {
namespace {

constexpr std::int32_t highestHpa = 1100;
constexpr std::int32_t lowestHpa = 900;
constexpr std::int32_t standardHpa = 1013;
constexpr double hpaPerHundredthInHg = 0.33865307;

// The nearest whole number; gsl::narrowing_error when it does not fit 32 bits.
std::int32_t lf_roundToInt32(double value) {
  const double rounded = std::round(value);
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max())) {
    throw gsl::narrowing_error{};
  }
  return static_cast<std::int32_t>(rounded);
}

// The explanation of a failure without the piece of the datagram that the JSON parser quotes: the log line shows
// the datagram once.
std::string_view lf_withoutQuote(std::string_view explanation) {
  return explanation.substr(0, explanation.find("; last read:"));
}

void lf_logNoQnh(std::string_view datagram, ThrottledLog& malformedLog) {
  if (malformedLog.admit()) {
    gf_log(fmt::format("no QNH {}", gf_excerpt(datagram)));
  }
}

// hPa or hundredths of an inch of mercury, as the datagram gives it; nothing (and logged) when it gives none.
std::optional<std::int32_t> lf_qnhValue(const nlohmann::json& document, std::string_view datagram,
                                        ThrottledLog& malformedLog) {
  const auto entry = document.is_object() ? document.find("QNH") : document.end();
  if (entry == document.end() || entry->empty()) {  // missing, null, or an empty object or array
    lf_logNoQnh(datagram, malformedLog);
    return std::nullopt;
  }
  if (entry->is_number_integer()) {
    return gsl::narrow<std::int32_t>(entry->get<std::int64_t>());
  }
  if (entry->is_number_unsigned()) {
    return gsl::narrow<std::int32_t>(entry->get<std::uint64_t>());
  }
  if (entry->is_number_float()) {
    return lf_roundToInt32(static_cast<float>(entry->get<double>()));
  }
  if (entry->is_string()) {
    const auto& text = entry->get_ref<const std::string&>();
    const auto number = gf_leadingNumber<std::int32_t>(text);
    if (!number && malformedLog.admit()) {
      gf_logFlagged(fmt::format("QNH string parse error: {}", gf_excerpt(text)));
    }
    return number;
  }
  lf_logNoQnh(datagram, malformedLog);
  return std::nullopt;
}

void lf_publish(std::int32_t qnh) {
  qnhReader.lastQnh = qnh;
  trafficReader.qnh = qnh;
  currentQnh.exchange(qnh);
  mainWindow.qnh = qnh;
  std::uint32_t silent = 2;
  mainWindow.weatherLamp.compare_exchange_strong(silent, 1);
  gf_invalidateBand(rcHeader);
}

}  // namespace

QnhReader qnhReader;
std::atomic<std::int32_t> currentQnh{standardHpa};

void QnhReader::onDatagram() {
  const std::string_view datagram{data, length};
  try {
    const auto document = nlohmann::json::parse(datagram);
    auto qnh = lf_qnhValue(document, datagram, malformedLog);
    if (!qnh) {
      return;
    }
    if (*qnh > highestHpa) {
      *qnh = lf_roundToInt32(*qnh * hpaPerHundredthInHg);
    }
    *qnh = std::clamp(*qnh, lowestHpa, highestHpa);
    if (*qnh != lastQnh || *qnh == standardHpa) {
      lf_publish(*qnh);
    }
  } catch (const std::exception& error) {
    if (malformedLog.admit()) {
      gf_log(fmt::format("Exception {}, in {}", gf_excerpt(lf_withoutQuote(error.what())), gf_excerpt(datagram)));
    }
  }
}

void QnhReader::onStopped() {
  gf_log("QNH Reader has stopped");
}

}  // namespace cvl
