#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "simconnect/simconnect.h"

// One pending creation of an AI aircraft in the simulator.
namespace cvl {

struct CreateRequest {
  SIMCONNECT_DATA_INITPOSITION initPosition;
  // Sent as the tail number; the simulator link recognises the new object by it and the title.
  std::string callsign;
  // Sent as the container title; the livery tables own the text.
  std::string_view title;
  std::uint32_t hexid = 0;
};

}  // namespace cvl
