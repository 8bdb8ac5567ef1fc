#include "engine/aircraft_removal.h"

#include <algorithm>

namespace cvl {

void removeAircraftFromSim(StaticAc& aircraft) {
  aircraft.state = AcState::removingfromsim;
}

bool gf_dropPendingCreate(std::deque<CreateRequest>& backlog, std::string_view callsign) {
  const auto pending = std::find_if(backlog.begin(), backlog.end(),
                                    [callsign](const CreateRequest& request) { return request.callsign == callsign; });
  if (pending == backlog.end()) {
    return false;
  }
  backlog.erase(pending);
  return true;
}

}  // namespace cvl
