#pragma once

#include <cstdint>
#include <string_view>

// The livery title each live aircraft was given, by hexid, so that an aircraft that comes back (a respawn, the same
// flight again) gets the same livery. Worker thread.
namespace cvl {

// The remembered title; empty when none, or when the simulator has since refused it (then it is forgotten).
std::string_view lf_rememberedTitle(std::uint32_t hexid);
void gf_rememberTitle(std::uint32_t hexid, std::string_view title);
void gf_forgetRememberedTitle(std::uint32_t hexid);
// Forgets every title (the traffic reset; the livery tables the titles point into may be rebuilt).
void gf_clearRememberedTitles();

}  // namespace cvl
