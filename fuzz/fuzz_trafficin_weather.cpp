// Arbitrary bytes as a weather datagram, handed to the weather reader as its receive loop does. Nothing may crash,
// and the published QNH always lies within 900..1100 hPa.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "trafficin/qnh_reader.h"
#include "trafficin/traffic_reader.h"

using cvl::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= cvl::datagramCapacity) {
    return 0;  // the receive loop never hands on more
  }
  std::string datagram{cvl::fuzz::asText(data, size)};
  cvl::qnhReader.data = datagram.data();
  cvl::qnhReader.length = datagram.size();
  cvl::qnhReader.onDatagram();

  const std::int32_t qnh = cvl::currentQnh;
  check(qnh >= 900 && qnh <= 1100);
  check(cvl::trafficReader.qnh == qnh);
  return 0;
}
