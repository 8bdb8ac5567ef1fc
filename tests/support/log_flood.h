#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string_view>

#include "foundation/text_encoding.h"

namespace cvl::test {

// What 10,000 identities an outside party picks within about 10 s may add to Log.txt.
inline constexpr std::size_t floodLogBound = 200 * 1024;

// Whether what a flood added to Log.txt is small and leaves the file UTF-8 throughout.
inline ::testing::AssertionResult smallAndUtf8(std::string_view added) {
  if (added.size() >= floodLogBound) {
    return ::testing::AssertionFailure() << "the flood added " << added.size() << " bytes to Log.txt";
  }
  if (!gf_isUtf8(added, false)) {
    return ::testing::AssertionFailure() << "Log.txt is no longer UTF-8";
  }
  return ::testing::AssertionSuccess();
}

}  // namespace cvl::test
