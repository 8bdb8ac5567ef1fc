#pragma once

// Converting what an older version of the program left in the settings file and the program's folder.
namespace cvl {

// True when the stored version is too old to convert (the caller then writes every default).
bool lf_upgradeParameters();

}  // namespace cvl
