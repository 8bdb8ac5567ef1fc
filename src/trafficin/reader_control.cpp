#include "trafficin/reader_control.h"

#include "trafficin/traffic_reader.h"

namespace cvl {

// The readers do not run yet; only the data time they share with the traffic clock exists.
void gf_stopReaders() {}

void gf_resetReaders() {
  trafficReader.latestTime = 0.0;
}

}  // namespace cvl
