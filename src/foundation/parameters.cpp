#include "foundation/parameters.h"

#include <algorithm>
#include <iterator>

#include "foundation/log.h"
#include "foundation/settings_file.h"

namespace cvl {
namespace {

void lf_logAppendFailure(const std::string& key, const std::string& currentValue) {
  gf_logUnlessClosing(fmt::format("{}adding xml parameter {} with {} failed!", "===> ", key, currentValue));
}

template <typename Item>
std::optional<std::size_t> lf_indexOf(const std::vector<Item>& items, const Item& wanted) {
  const auto found = std::find(items.begin(), items.end(), wanted);
  if (found == items.end()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(std::distance(items.begin(), found));
}

// Selection by exact index: the combo box's own prefix search would show a shorter choice as the first longer one
// that begins with it.
void lf_fillCombo(ui::Handle combo, const std::vector<std::string>& items, std::optional<std::size_t> selected) {
  if (!ui::isWindow(combo)) {
    return;
  }
  ui::comboReset(combo);
  for (const auto& item : items) {
    ui::comboAdd(combo, item);
  }
  if (selected) {
    ui::comboSelectIndex(combo, static_cast<int>(*selected));
  }
}

}  // namespace

GuardedString& GuardedString::operator=(std::string text) {
  const std::lock_guard lock{mutex_};
  text_ = std::move(text);
  return *this;
}

std::string GuardedString::get() const {
  const std::lock_guard lock{mutex_};
  return text_;
}

bool GuardedString::empty() const {
  const std::lock_guard lock{mutex_};
  return text_.empty();
}

bool operator==(const GuardedString& guarded, std::string_view text) {
  const std::lock_guard lock{guarded.mutex_};
  return guarded.text_ == text;
}

Parameter::~Parameter() = default;
OptionControl::~OptionControl() = default;

StringParameter::StringParameter(std::string name, std::string initial)
    : Parameter(std::move(name)), defaultValue(initial), minValue(initial), maxValue(initial), value(initial) {}

StringParameter::~StringParameter() = default;

void StringParameter::setValue(std::string text) {
  value = std::move(text);
  gf_saveStringParameter(*this);
}

void StringParameter::log() const {
  gf_logUnlessClosing(fmt::format("{}=\"{}\"", key, value.get()));
}

void StringParameter::appendTo(pugi::xml_node parameters, bool writeDefaults) const {
  const std::string current = value.get();
  if (!gf_appendStringParameter(parameters, key, writeDefaults ? defaultValue.get() : current)) {
    lf_logAppendFailure(key, current);
  }
  log();
}

bool StringParameter::readFrom(pugi::xml_node document) {
  const auto stored = gf_getStringParameter(document, key);
  value = stored ? *stored : defaultValue.get();
  log();
  return stored.has_value();
}

BoolParameter::BoolParameter(std::string name, bool initial)
    : Parameter(std::move(name)), defaultValue(initial), minValue(initial), maxValue(initial), value(initial) {}

BoolParameter::~BoolParameter() = default;

void BoolParameter::log() const {
  gf_logUnlessClosing(fmt::format("{}={}", key, value.load()));
}

void BoolParameter::appendTo(pugi::xml_node parameters, bool writeDefaults) const {
  const bool current = value;
  if (!gf_appendBoolParameter(parameters, key, writeDefaults ? defaultValue : current)) {
    lf_logAppendFailure(key, fmt::format("{}", current));
  }
  log();
}

IntParameter::IntParameter(std::string name, std::int32_t initial, std::int32_t lowest, std::int32_t highest)
    : Parameter(std::move(name)), defaultValue(initial), minValue(lowest), maxValue(highest), value(initial) {}

IntParameter::~IntParameter() = default;

void IntParameter::log() const {
  gf_logUnlessClosing(fmt::format("{}={}", key, value.load()));
}

void IntParameter::appendTo(pugi::xml_node parameters, bool writeDefaults) const {
  const std::int32_t current = value;
  if (!gf_appendIntParameter(parameters, key, writeDefaults ? defaultValue : current)) {
    lf_logAppendFailure(key, fmt::format("{}", current));
  }
  log();
}

std::int32_t IntParameter::clampToRange(std::int64_t number) const {
  if (number > maxValue) {
    return maxValue;
  }
  if (number < minValue) {
    return minValue;
  }
  return static_cast<std::int32_t>(number);
}

CheckBoxParameter::CheckBoxParameter(std::string name, bool initial, std::uint16_t id, std::uint32_t row)
    : BoolParameter(std::move(name), initial), OptionControl(id, row) {}

CheckBoxParameter::~CheckBoxParameter() = default;

IntChoiceParameter::IntChoiceParameter(std::string name, std::int32_t initial, std::vector<std::int32_t> list,
                                       std::uint16_t id, std::uint32_t row)
    : IntParameter(std::move(name), initial, list.front(), list.back()),
      OptionControl(id, row),
      choices(std::move(list)) {}

IntChoiceParameter::~IntChoiceParameter() = default;

std::optional<std::size_t> IntChoiceParameter::indexOf(std::int32_t number) const {
  return lf_indexOf(choices, number);
}

void IntChoiceParameter::fillCombo() const {
  std::vector<std::string> texts;
  texts.reserve(choices.size());
  for (const auto choice : choices) {
    texts.push_back(fmt::format("{}", choice));
  }
  lf_fillCombo(hwnd, texts, indexOf(value));
}

FloatChoiceParameter::FloatChoiceParameter(std::string name, float initial, std::vector<float> list, std::uint16_t id,
                                           std::uint32_t row)
    : Parameter(std::move(name)),
      OptionControl(id, row),
      defaultValue(initial),
      minValue(list.front()),
      maxValue(list.back()),
      value(initial),
      choices(std::move(list)) {}

FloatChoiceParameter::~FloatChoiceParameter() = default;

EditParameter::EditParameter(std::string name, std::string initial, std::uint16_t id, std::uint32_t row)
    : StringParameter(std::move(name), std::move(initial)), OptionControl(id, row) {}

EditParameter::~EditParameter() = default;

StringChoiceParameter::StringChoiceParameter(std::string name, std::string initial, std::vector<std::string> list,
                                             std::uint16_t id, std::uint32_t row)
    : EditParameter(std::move(name), std::move(initial), id, row), choices(std::move(list)) {}

StringChoiceParameter::~StringChoiceParameter() = default;

std::optional<std::size_t> StringChoiceParameter::indexOfValue() const {
  return lf_indexOf(choices, value.get());
}

void StringChoiceParameter::fillCombo() const {
  lf_fillCombo(hwnd, choices, indexOfValue());
}

SharedChoiceParameter::SharedChoiceParameter(std::string name, std::string initial,
                                             std::shared_ptr<std::vector<std::string>> list, std::uint16_t id,
                                             std::uint32_t row)
    : EditParameter(std::move(name), std::move(initial), id, row), choices(std::move(list)) {}

SharedChoiceParameter::~SharedChoiceParameter() = default;

void SharedChoiceParameter::fillCombo() const {
  const std::vector<std::string> items = choices ? *choices : std::vector<std::string>{};
  lf_fillCombo(hwnd, items, lf_indexOf(items, value.get()));
}

ButtonControl::ButtonControl(std::string caption, std::uint16_t id, std::uint32_t row)
    : Parameter(std::move(caption)), OptionControl(id, row) {}

ButtonControl::~ButtonControl() = default;

}  // namespace cvl
