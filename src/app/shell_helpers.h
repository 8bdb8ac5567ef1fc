#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// What the program asks of the desktop: the user's known folders, opening a file or folder with its application, the
// notice about a downloaded new version, and the two help actions that open the manual and the settings file.
namespace cvl {

enum class KnownFolder {
  roamingAppData,
  localAppData,
  programFiles,
  programFilesX86,  // none on this platform
};

// The folder's path; nothing when it is not known.
std::optional<std::filesystem::path> gf_knownFolderPath(KnownFolder id);

// The roaming application-data folder; the empty path (and a flagged log line) when it cannot be found.
std::filesystem::path gf_appDataPath();
// The local application-data folder; the empty path (and a flagged log line) when it cannot be found.
std::filesystem::path gf_localAppDataPath();

// Opens the file or folder with the desktop's application for it. False when it does not exist or the opener fails or
// cannot start. Waits for the opener's answer, a few seconds at most: not for the window's thread.
bool gf_openWithShell(const std::filesystem::path& path);

// Opens the file or folder as gf_openWithShell does; when that fails, a message box with the failure text says so and
// the result is false. On the window's thread it does not wait for the opener: the result is true once the opener
// runs, and a failure the opener reports later brings the message box then.
bool gf_openOrTell(const std::filesystem::path& path, std::string_view failure);

// The text that announces a downloaded installer: it asks for an administrator run only when the program folder lies
// under the program-files folder, cannot be written to, and the process is not elevated.
std::string gf_newVersionNotice(const std::filesystem::path& programFolder);

// Open parameters.xml, or docs/Manual.pdf of the current folder; on failure a message box says so and the result is
// false.
bool gf_openParametersFolder();
bool gf_openManual();

}  // namespace cvl
