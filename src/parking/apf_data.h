#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "parking/park_pos.h"

// The contents of one airport file as its writer takes them: made by the add-on scan for a generated file, and from
// the park airport's stands for its learned file.
namespace cvl {

struct ApfData {
  std::string code;  // ICAO code, also the file name's stem
  std::string airport_name;
  std::string BGLpath;  // the scenery file a generated file came from
  std::string publisher;
  std::string manufacturer;
  std::string creator;
  std::int32_t Qf_real = 0;
  std::int32_t Qf_soft = 0;
  std::int32_t altitude = 0;  // feet
  std::vector<ParkPos> positions;
};

}  // namespace cvl
