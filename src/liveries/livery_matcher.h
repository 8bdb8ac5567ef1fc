#pragma once

#include <string_view>

#include "engine/live_ac.h"

// Choosing the livery of a live aircraft that is about to be created.
namespace cvl {

// The title used when no installed livery is known for the aircraft's type.
inline constexpr std::string_view fallbackLiveryTitle{"Generic Airliner"};

// Sets the aircraft's livery title: the first installed title of its type, passenger before cargo, else the fallback
// title. Called only for an aircraft without a title.
void gf_matchLivery(LiveAc& aircraft);

}  // namespace cvl
