#pragma once

#include <functional>
#include <string_view>

namespace cvl::rtemu {

// Tells whoever runs the emulator what happens: connections, their ends, odd lines, failed sends. The tool writes
// these to standard error; they are not part of the log of received lines.
using Notice = std::function<void(std::string_view)>;

}  // namespace cvl::rtemu
