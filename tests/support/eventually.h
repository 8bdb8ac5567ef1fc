#pragma once

#include <chrono>
#include <functional>

namespace cvl::test {

// Polls until the condition holds or a generous limit passes; the result says which. Only a failing test waits that
// long.
bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds{20});

}  // namespace cvl::test
