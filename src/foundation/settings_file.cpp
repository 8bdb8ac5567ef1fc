#include "foundation/settings_file.h"

#include <fmt/format.h>

#include <filesystem>
#include <functional>
#include <system_error>

#include "app/controls.h"
#include "foundation/constants.h"
#include "foundation/files.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_upgrade.h"
#include "foundation/throttled_log.h"
#include "foundation/utilities.h"
#include "foundation/version.h"
#include "foundation/xml.h"

namespace cvl {
namespace {

constexpr const char* rootElement = "root";
constexpr const char* parameterElement = "parameter";

pugi::xml_node lf_parametersNode(pugi::xml_node document) {
  return gf_rootOrDocChild(document, parametersElement.c_str());
}

// The first entry named key, by the lookup rule every reader shares.
pugi::xml_node lf_findEntry(pugi::xml_node document, std::string_view key) {
  for (const auto entry : lf_parametersNode(document).children(parameterElement)) {
    if (key == entry.attribute(nameAttribute.c_str()).as_string()) {
      return entry;
    }
  }
  return {};
}

pugi::xml_node lf_appendEntry(pugi::xml_node node, std::string_view key) {
  const auto entry = node.append_child(parameterElement);
  if (!entry || !gf_appendAttribute(entry, nameAttribute.c_str(), key)) {
    return {};
  }
  return entry;
}

// The line that closes the block of settings in the log, also while a stop is requested.
void lf_logClosingBanner() {
  gf_log(gf_starBanner(parametersBannerWidth, parametersTextLength, false, false, emptyString));
}

// The lines that say the file is left as it was are written when that begins and when its reason changes, not at
// every save while it lasts.
LineOnChange leftAsItWasLines;

// A file that is missing, does not load or holds no settings is written anew with every default.
bool lf_createWithDefaults() {
  if (gf_keepParametersAsOlderGeneration()) {
    gf_log(fmt::format("{} not found,  create new with default values:", parametersPathUtf8()));
    gf_saveParameters(true);
  } else {
    lf_logClosingBanner();
  }
  return true;
}

void lf_readBool(BoolParameter& setting, pugi::xml_node document, pugi::xml_node parameters) {
  const auto stored = gf_getBoolParameter(document, setting.key);
  setting.value = stored.value_or(setting.defaultValue);
  setting.log();
  if (!stored) {
    gf_appendBoolParameter(parameters, setting.key, setting.defaultValue);
  }
}

void lf_readInt(IntParameter& setting, pugi::xml_node document, pugi::xml_node parameters) {
  const auto stored = gf_getIntParameter(document, setting.key);
  setting.value = stored ? setting.clampToRange(*stored) : setting.defaultValue;
  setting.log();
  if (!stored) {
    gf_appendIntParameter(parameters, setting.key, setting.defaultValue);
  }
}

void lf_readString(StringParameter& setting, pugi::xml_node document, pugi::xml_node parameters) {
  if (!setting.readFrom(document)) {
    gf_appendStringParameter(parameters, setting.key, setting.getValue());
  }
}

// The old layout without root is mended by writing the whole file anew from the values in memory, which include the
// change being saved. The new file replaces the old one in a single step, so a failed write leaves the old one.
void lf_addRootLevel() {
  gf_log("\nPlacing a root level around a new parameters.xml to make it 100% xml compliance\n");
  gf_saveParameters(false);
}

// Sets the value of every entry named like the setting (appending one when there is none) and saves the file.
void lf_saveSingle(const Parameter& setting, const std::string& valueText, const std::function<void()>& logLine) {
  const std::lock_guard lock{gf_parametersFileMutex()};
  const auto path = parametersPath();
  pugi::xml_document document;
  if (!document.load_file(path.c_str())) {
    std::error_code error;
    if (std::filesystem::exists(path, error) || error) {
      // Never replace the user's settings by a file of one setting: keep what is there and write all from memory.
      if (gf_keepParametersAsOlderGeneration()) {
        gf_saveParameters(false);
      }
      return;
    }
    document.reset();
    const auto parameters = document.append_child(rootElement).append_child(parametersElement.c_str());
    if (parameters) {
      gf_appendStringParameter(parameters, setting.key, valueText);
    }
    logLine();
    gf_saveXmlFile(document, path);
    return;
  }

  const auto root = document.child(rootElement);
  auto container = root ? root : pugi::xml_node{document};
  auto parameters = container.child(parametersElement.c_str());
  if (!parameters) {
    parameters = container.append_child(parametersElement.c_str());
  }
  bool matched = false;
  for (const auto entry : parameters.children(parameterElement)) {
    if (setting.key == entry.attribute(nameAttribute.c_str()).as_string()) {
      matched = true;
      entry.attribute(valueAttribute.c_str()).set_value(valueText.c_str());
    }
  }
  if (!matched) {
    gf_appendStringParameter(parameters, setting.key, valueText);
  }
  logLine();
  if (root) {
    gf_saveXmlFile(document, path);
  } else {
    lf_addRootLevel();
  }
}

}  // namespace

bool gf_keepParametersAsOlderGeneration() {
  const std::lock_guard lock{gf_parametersFileMutex()};
  const auto failure = gf_setAside1GenerationOf(parametersPath());
  if (!failure) {
    leftAsItWasLines.forget();
    return true;
  }
  if (leftAsItWasLines.changed(*failure)) {
    gf_logFlagged(*failure);
    gf_logFlagged(
        fmt::format("{} is left as it was, saving it as parameters0.xml failed; the settings stay in memory only",
                    parametersPathUtf8()));
  }
  return false;
}

std::recursive_mutex& gf_parametersFileMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

void gf_initParameters() {
  const std::lock_guard lock{gf_parametersFileMutex()};
  if (gf_readParameters()) {
    for (CheckBoxParameter* scanRequest : {&SCAN_LIVERIES, &SCAN_AIRPORTS}) {
      scanRequest->value = true;
      gf_saveBoolParameter(*scanRequest);
      gf_showCheckBox(*scanRequest);
    }
    return;
  }
  if (lf_upgradeParameters()) {
    gf_log("\nYour previous version was too old to convert the old text box parameters to the newdropbox values.");
    gf_log(fmt::format("{} re-starts with default parameter values ...\n", programName));
    // Written whole in place of the old file; the settings in memory keep the values read until the next start.
    gf_saveParameters(true);
  }
}

bool gf_readParameters() {
  const std::lock_guard lock{gf_parametersFileMutex()};
  gf_log(gf_starBanner(parametersBannerWidth, 0, true, false, parametersElement));
  pugi::xml_document document;
  if (!document.load_file(parametersPath().c_str())) {
    return lf_createWithDefaults();
  }
  gf_log(fmt::format("from '{}'", parametersPathUtf8()));
  const auto parameters = lf_parametersNode(document);
  if (!parameters) {
    return lf_createWithDefaults();
  }

  for (auto* setting : boolRegistry) {
    lf_readBool(*setting, document, parameters);
  }
  for (auto* setting : checkBoxRegistry) {
    lf_readBool(*setting, document, parameters);
    gf_showCheckBox(*setting);
  }
  for (auto* setting : intRegistry) {
    lf_readInt(*setting, document, parameters);
  }
  for (auto* setting : intChoiceRegistry) {
    lf_readInt(*setting, document, parameters);
    gf_setIntControlText(*setting);
  }
  for (auto* setting : stringRegistry) {
    lf_readString(*setting, document, parameters);
  }
  for (auto* setting : stringControlRegistry) {
    lf_readString(*setting, document, parameters);
    gf_setStringControlText(*setting);
  }

  gf_saveXmlFile(document, parametersPath());
  lf_logClosingBanner();
  return false;
}

void gf_saveParameters(bool writeDefaults) {
  const std::lock_guard lock{gf_parametersFileMutex()};
  pugi::xml_document document;
  auto root = document.append_child(rootElement);
  if (writeDefaults) {
    PROGRAM_VERSION.defaultValue = programVersion.toString();
  }
  const auto parameters = root.append_child(parametersElement.c_str());
  if (parameters) {
    for (const auto* setting : boolRegistry) {
      setting->appendTo(parameters, writeDefaults);
    }
    for (const auto* setting : checkBoxRegistry) {
      setting->appendTo(parameters, writeDefaults);
      gf_showCheckBox(*setting);
    }
    for (const auto* setting : intRegistry) {
      setting->appendTo(parameters, writeDefaults);
    }
    for (const auto* setting : intChoiceRegistry) {
      setting->appendTo(parameters, writeDefaults);
      gf_setIntControlText(*setting);
    }
    for (const auto* setting : stringRegistry) {
      setting->appendTo(parameters, writeDefaults);
    }
    for (const auto* setting : stringControlRegistry) {
      setting->appendTo(parameters, writeDefaults);
      gf_setStringControlText(*setting);
    }
    if (!gf_saveXmlFile(document, parametersPath())) {
      gf_logFlagged(fmt::format("saving: {} failed", parametersPathUtf8()));
    }
  }
  lf_logClosingBanner();
}

void gf_saveBoolParameter(BoolParameter& parameter) {
  lf_saveSingle(parameter, parameter.value ? "true" : "false", [&] { parameter.log(); });
}

void gf_saveIntParameter(IntParameter& parameter) {
  lf_saveSingle(parameter, fmt::format("{}", parameter.value.load()), [&] { parameter.log(); });
}

void gf_saveStringParameter(StringParameter& parameter) {
  lf_saveSingle(parameter, parameter.getValue(), [&] { parameter.log(); });
}

std::optional<bool> gf_getBoolParameter(pugi::xml_node document, std::string_view key) {
  const auto entry = lf_findEntry(document, key);
  return entry ? std::optional{entry.attribute(valueAttribute.c_str()).as_bool()} : std::nullopt;
}

std::optional<std::int32_t> gf_getIntParameter(pugi::xml_node document, std::string_view key) {
  const auto entry = lf_findEntry(document, key);
  return entry ? std::optional{entry.attribute(valueAttribute.c_str()).as_int()} : std::nullopt;
}

std::optional<std::string> gf_getStringParameter(pugi::xml_node document, std::string_view key) {
  const auto entry = lf_findEntry(document, key);
  return entry ? std::optional<std::string>{entry.attribute(valueAttribute.c_str()).as_string()} : std::nullopt;
}

bool gf_appendBoolParameter(pugi::xml_node node, std::string_view key, bool value) {
  const auto entry = lf_appendEntry(node, key);
  return entry && gf_appendBoolAttribute(entry, valueAttribute.c_str(), value);
}

bool gf_appendIntParameter(pugi::xml_node node, std::string_view key, std::int32_t value) {
  return gf_appendStringParameter(node, key, fmt::format("{}", value));
}

bool gf_appendStringParameter(pugi::xml_node node, std::string_view key, std::string_view value) {
  const auto entry = lf_appendEntry(node, key);
  return entry && gf_appendAttribute(entry, valueAttribute.c_str(), value);
}

}  // namespace cvl
