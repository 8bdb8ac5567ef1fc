#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace cvl {

inline constexpr std::size_t dataFileKeyBytes = 32;

// The secret-stream key of the downloaded data files (dbase, airports, AIG regcodes). The maker's side encrypts with
// the same key, so both ends of this build agree; a release build of the maker carries its own key instead.
extern const std::array<std::uint8_t, dataFileKeyBytes> dataFileKey;

}  // namespace cvl
