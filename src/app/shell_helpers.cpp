#include "app/shell_helpers.h"

#include "platform/known_folders.h"

namespace cvl {

std::filesystem::path gf_appDataPath() { return platform::roamingAppDataFolder(); }

std::filesystem::path gf_localAppDataPath() { return platform::localAppDataFolder(); }

}  // namespace cvl
