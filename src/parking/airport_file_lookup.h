#pragma once

#include <filesystem>
#include <string>

// Finding the airport file of an airport, and fetching it from the maker's site when it is not on disk.
//
// An airport file is named by text: a local path that begins with "airports" (a file in airports/my_thirdparty or
// airports/my_simaddon, or a name a redirect file gives), or a name relative to the site's airport folders such as
// "archive/stock/EDDF.xml" or "archive/thirdparty/Big%20Airports/EDDF.xml".
namespace cvl {

// "<code>.xml" and "<code>.txt".
std::filesystem::path gf_xmlPathOf(const std::string& code);
std::filesystem::path gf_txtPathOf(const std::string& code);

// Whether the airport has an airport file: one of its files or redirects in my_thirdparty or my_simaddon, else a
// stock file on the maker's site (the airports database gives it stands).
bool gf_hasAirportFile(const std::string& code);

// The first line of a redirect file, when it names an airport file: at least 4 characters ending in ".xml" in any
// case, trailing white space removed. False when the file is missing, empty or its line does not qualify.
bool lf_readApfRedirect(const std::filesystem::path& path, std::string& name);

// The airport file's name, empty when there is none. First hit of: a redirect in my_thirdparty, a file there, a
// redirect in my_simaddon, a file there, the stock file of an airport with stands.
std::string gf_findApf(const std::string& code);

// Whether the name is a file on this computer; and its path there (the backslashes of a name written on Windows
// become separators).
bool lf_isLocalApfName(const std::string& name);
std::filesystem::path lf_localApfPath(const std::string& name);

// Downloads the named file from the site's MSFS folder (MSFS 2020, and the stock and simaddon files of both
// simulators) or its MSFS2024 folder into path. Empty on success, else the error text; a failure leaves no file at
// path.
std::string gf_downloadAirportFile(const std::string& name, const std::filesystem::path& path);

// The author name that generated files carry when the package names none.
bool gf_isFixedAuthor(const std::string& text);

// Whether the airport file names its publisher, or a manufacturer or creator of at least 4 characters other than the
// fixed author. False, after a log line, when the file does not load.
bool gf_apfHasPublisher(const std::filesystem::path& path);

}  // namespace cvl
