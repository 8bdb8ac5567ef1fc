#include "liveries/livery_data.h"

#include <tuple>

namespace cvl {

LiveryList ScannedLiveries;

bool lf_liveryKeyEquals(const LiveryData& a, const LiveryData& b) {
  return a.title == b.title && a.airl == b.airl && a.type == b.type && a.atcid == b.atcid && a.cargo == b.cargo;
}

bool operator<(const LiveryData& a, const LiveryData& b) {
  return std::tie(a.airl, a.type, a.title) < std::tie(b.airl, b.type, b.title);
}

}  // namespace cvl
