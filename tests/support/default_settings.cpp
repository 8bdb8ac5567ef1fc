#include "support/default_settings.h"

#include "foundation/settings_catalogue.h"
#include "foundation/settings_upgrade.h"

namespace cvl::test {
namespace {

template <typename Registry>
void restoreNumbers(const Registry& registry) {
  for (auto* setting : registry) {
    setting->value = setting->defaultValue;
  }
}

template <typename Registry>
void restoreTexts(const Registry& registry) {
  for (auto* setting : registry) {
    setting->value = setting->defaultValue.get();
  }
}

}  // namespace

void restoreDefaultSettings() {
  restoreNumbers(boolRegistry);
  restoreNumbers(checkBoxRegistry);
  restoreNumbers(intRegistry);
  restoreNumbers(intChoiceRegistry);
  // A fresh settings file makes the running version PROGRAM_VERSION's default; a fresh start has none.
  PROGRAM_VERSION.defaultValue = "";
  restoreTexts(stringRegistry);
  restoreTexts(stringControlRegistry);
  restoreTexts(std::initializer_list<EditParameter*>{&ALL_INSTALL_PATH, &CALLSIGN_2_OBJECTID});
  *callsignChoices = {std::string{}};
  MAX_FIT_FL.value = MAX_FIT_FL.defaultValue;
  parking_percentage.value = parking_percentage.defaultValue;
  gf_setRange(RANGE.defaultValue);
}

}  // namespace cvl::test
