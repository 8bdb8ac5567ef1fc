#include "parking/park_settings.h"

#include <fmt/format.h>

#include <optional>

#include "app/controls.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_file.h"
#include "foundation/settings_upgrade.h"
#include "platform/ui/controls.h"

namespace cvl {
namespace {

struct SavedParkSettings {
  std::int32_t maxLiveSel = 0;
  std::int32_t maxFit = 0;
  std::int32_t parkingPercentage = 0;
  std::int32_t range = 0;
  bool autoRange = false;
  bool initialLoadOnly = false;
  bool parkSoft = false;
  bool week = false;
};

// Held from the reading of a park airport's files until the airport is left.
std::optional<SavedParkSettings> savedParkSettings;

constexpr std::int32_t defaultParkingPercentage = 30;
// Below this real quality the soft options fill the stands; from the other one on the real options suffice.
constexpr std::int32_t poorRealQuality = 3;
constexpr std::int32_t goodRealQuality = 46;
constexpr std::int32_t wholeDayFit = 47;

template <typename Value>
void lf_logSetting(const std::string& key, const Value& value) {
  gf_logIndented(fmt::format("{:24}: {}", key, value));
}

void lf_showBool(CheckBoxParameter& setting, bool on) {
  setting.value = on;
  gf_showCheckBox(setting);
}

void lf_showInt(IntChoiceParameter& setting, std::int32_t value) {
  setting.value = setting.clampToRange(value);
  gf_setIntControlText(setting);
}

void lf_showRangeControls() {
  ui::enable(RANGE.hwnd, !AUTO_RANGE.value);
  ui::enable(AR_ABOVE_HEIGHT.hwnd, AUTO_RANGE.value);
}

// The "Now" button follows INITIAL_LOAD_ONLY, as far as the parking controls allow it.
void lf_showNowButton() {
  ui::enable(nowButton.hwnd, !INITIAL_LOAD_ONLY.value && nowButtonAllowed);
}

// An optional bool parameter applied to its check box.
void lf_applyLearnedBool(pugi::xml_node document, CheckBoxParameter& setting) {
  if (const auto on = gf_getBoolParameter(document, setting.key)) {
    lf_showBool(setting, *on);
    lf_logSetting(setting.key, *on);
  }
}

}  // namespace

void lf_storeParkSettings() {
  if (savedParkSettings) {
    return;
  }
  savedParkSettings =
      SavedParkSettings{MAX_LIVE_SEL.value, MAX_FIT.value,           parking_percentage.value, RANGE.value,
                        AUTO_RANGE.value,   INITIAL_LOAD_ONLY.value, PARK_SOFT.value,          WEEK.value};
}

void lf_restoreParkSettings() {
  if (!savedParkSettings) {
    return;
  }
  const SavedParkSettings saved = *savedParkSettings;
  savedParkSettings.reset();
  lf_showInt(MAX_LIVE_SEL, saved.maxLiveSel);
  gf_saveIntParameter(MAX_LIVE_SEL);
  MAX_FIT.value = MAX_FIT.clampToRange(saved.maxFit);
  gf_saveIntParameter(MAX_FIT);
  gf_syncMaxFitFl();
  gf_setRange(saved.range);
  gf_saveIntParameter(RANGE);
  // parking_percentage is not a stored setting: it starts at its default in every run.
  lf_showInt(parking_percentage, saved.parkingPercentage);
  gf_setCheckBox(AUTO_RANGE, saved.autoRange);
  lf_showRangeControls();
  gf_setCheckBox(INITIAL_LOAD_ONLY, saved.initialLoadOnly);
  gf_setCheckBox(PARK_SOFT, saved.parkSoft);
  gf_setCheckBox(WEEK, saved.week);
}

void lf_applyQualityDefaults(const QualityFactors& factors, const Airport* airport) {
  if (factors.Qf_real < poorRealQuality && factors.Qf_soft >= 1) {
    lf_showBool(PARK_SOFT, true);
    lf_showBool(WEEK, true);
    // MAX_FIT_FL shows MAX_FIT in hours: the whole day is the last level.
    MAX_FIT.value = wholeDayFit;
    gf_syncMaxFitFl();
  } else if (factors.Qf_real >= goodRealQuality) {
    lf_showBool(PARK_SOFT, false);
    lf_showBool(WEEK, false);
  }
  const std::int32_t stands = airport != nullptr ? airport->stands : 0;
  const std::int32_t percentage = stands == 1 ? 100 : stands == 2 ? 50 : defaultParkingPercentage;
  parking_percentage.value = percentage;
  gf_logIndented(fmt::format("{:24}: {}%", parking_percentage.key, percentage));
  gf_setIntControlText(parking_percentage);
  gf_enableControl(parking_percentage);
}

void lf_applyLearnedSettings(pugi::xml_node document) {
  if (const auto maxLive = gf_getIntParameter(document, maxLiveSelKey)) {
    lf_showInt(MAX_LIVE_SEL, *maxLive);
    lf_logSetting(maxLiveSelKey, MAX_LIVE_SEL.value.load());
  }
  if (const auto range = gf_getIntParameter(document, rangeKey)) {
    gf_setRange(RANGE.clampToRange(*range));
    lf_logSetting(rangeKey, RANGE.value.load());
  }
  if (const auto autoRange = gf_getBoolParameter(document, autoRangeKey)) {
    lf_showBool(AUTO_RANGE, *autoRange);
    // The manual range is the one just read: only the automatic range needs applying.
    if (*autoRange) {
      gf_updateRangeControl();
    }
    lf_showRangeControls();
    lf_logSetting(autoRangeKey, *autoRange);
  }
  const auto percentage = gf_getIntParameter(document, parkingPercentageKey);
  lf_showInt(parking_percentage, percentage.value_or(defaultParkingPercentage));
  if (percentage) {
    lf_logSetting(parkingPercentageKey, parking_percentage.value.load());
  }
  lf_applyLearnedBool(document, WEEK);
  lf_applyLearnedBool(document, PARK_SOFT);
  if (const auto maxFit = gf_getIntParameter(document, maxFitKey)) {
    MAX_FIT.value = MAX_FIT.clampToRange(*maxFit);
    gf_syncMaxFitFl();
    gf_logIndented(fmt::format("{:24}: {} (max number of half hours, is {:.1F} hrs decimal)", maxFitKey,
                               MAX_FIT.value.load(), MAX_FIT_FL.value.load()));
  }
  if (const auto initialLoadOnly = gf_getBoolParameter(document, initialLoadOnlyKey)) {
    lf_showBool(INITIAL_LOAD_ONLY, *initialLoadOnly);
    lf_showNowButton();
    lf_logSetting(initialLoadOnlyKey, *initialLoadOnly);
  }
}

}  // namespace cvl
