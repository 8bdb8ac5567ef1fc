#pragma once

#include <string>
#include <string_view>

// The simulator's names (datums, units, events) compare without regard to case: they are compared in one case.
namespace cvl::simemu {

std::string upperCase(std::string_view text);
std::string lowerCase(std::string_view text);

}  // namespace cvl::simemu
