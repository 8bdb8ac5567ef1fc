#pragma once

#include <atomic>
#include <cstdint>
#include <string>

// The archive tblo/tblo.zip of thirdparty airports that the maker does not know yet, for the user to mail to the maker.
namespace cvl {

// The number of airport files packed into the archive; 0 while there is none.
extern std::atomic<std::uint64_t> tbloReady;

// Where the user sends the archive.
inline const std::string supportMailAddress{"support@corvalen.example"};

}  // namespace cvl
