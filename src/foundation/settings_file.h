#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "foundation/parameters.h"

// parameters.xml: root / parameters / parameter (name, value), one entry per registered setting. Read whole at the
// start of every run cycle; afterwards each change of one setting rewrites that setting's entry at once. Every read
// and write of the file holds one lock, so saves from different threads never lose each other's changes, and every
// write goes through a temporary file, so a failed write leaves the old file whole.
namespace cvl {

// Reads the settings (creating the file with defaults when it is missing or unusable) and converts what an older
// version left. Called first by every start-up of a run.
void gf_initParameters();
// True when the file was missing or unusable: it is written fresh with defaults, unless keeping the unusable one as
// parameters0.xml failed, which leaves it as it was. False when it was read.
bool gf_readParameters();
// Writes the whole file from the registries: every default, or every current value.
void gf_saveParameters(bool writeDefaults);

// Keeps parameters.xml, which is there but does not load, as parameters0.xml before it is written anew or removed: it
// may hold the user's settings in a form this version cannot read. A file this user may not read (left by a run as
// another user) is renamed rather than copied. False when it could be kept neither way (a full disk, a read-only
// folder): the file is then to be left as it was, and the settings stay in memory only. The log says so when that
// begins and when its reason changes.
bool gf_keepParametersAsOlderGeneration();

// Save one setting's current value (int serves the int-choice kind too).
void gf_saveBoolParameter(BoolParameter& parameter);
void gf_saveIntParameter(IntParameter& parameter);
void gf_saveStringParameter(StringParameter& parameter);

// The value of the first entry named key in a document of this shape (parameters under root, or at document level).
// An entry without value gives false, 0 or the empty text; no entry gives nothing.
std::optional<bool> gf_getBoolParameter(pugi::xml_node document, std::string_view key);
std::optional<std::int32_t> gf_getIntParameter(pugi::xml_node document, std::string_view key);
std::optional<std::string> gf_getStringParameter(pugi::xml_node document, std::string_view key);

// Append a parameter entry (name, then value) to the node; false when the entry could not be added whole.
bool gf_appendBoolParameter(pugi::xml_node node, std::string_view key, bool value);
bool gf_appendIntParameter(pugi::xml_node node, std::string_view key, std::int32_t value);
bool gf_appendStringParameter(pugi::xml_node node, std::string_view key, std::string_view value);

// The lock of every access to parameters.xml (also for the window's position and the settings upgrade). It may be
// taken again by the thread that holds it.
std::recursive_mutex& gf_parametersFileMutex();

}  // namespace cvl
