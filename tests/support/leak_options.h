#pragma once

#include <string>

namespace cvl::test {

// LSAN_OPTIONS for a process that shows the real window: the suppressions of what the font libraries keep until the
// process exits (leak_suppressions.txt beside this file), followed by the options this process was given, which win.
std::string windowLeakOptions();

}  // namespace cvl::test
