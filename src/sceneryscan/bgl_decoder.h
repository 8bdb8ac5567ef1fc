#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// The BGL scenery files of add-on packages, decoded far enough to find their airports with parking positions and
// helipads. Each file's airports are linked to the maker's archive or written as generated airport files; everything
// else in the file is stepped over. Whatever a file holds, no read leaves it and no walk runs for ever.
namespace cvl {

// A quick test before a task is spent on the file: whether its header lists a section of airports.
bool lf_hasAirportSection(const std::filesystem::path& path);

// The body of one scan task: decodes the file. An exception is logged and passed on.
void lf_processBGLfile(const std::filesystem::path& path);

// Decodes a file's words; bglPath names the file in the scan log and decides its publisher.
void lf_processBglWords(const std::vector<std::uint32_t>& words, const std::filesystem::path& bglPath);

}  // namespace cvl
