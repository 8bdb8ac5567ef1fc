#pragma once

#include <string>

// The livery titles that must not be used: the registration sources list them without any registration. Read at the
// start of every livery scan, before any aircraft.cfg is read, and only read by the scan's threads afterwards. They
// belong to the scan (liveries/livery_scan_state.h).
namespace cvl {

// The don't-use titles of the scan the calling thread works for.
class DontUseTitleSet {
 public:
  bool contains(const std::string& title) const;
  void insert(const std::string& title) const;
  bool empty() const;
};

inline constexpr DontUseTitleSet DontUseTitles{};

// Adds the don't-use titles of input/AIG-regcodes.enc and of the user's files in input/my_regcodes. Failures are
// logged; the titles read until then stay.
void lf_readDontUseTitles();

}  // namespace cvl
