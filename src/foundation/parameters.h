#pragma once

#include <fmt/format.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/controls.h"

// The settings kinds. Every setting is one global object (see settings_catalogue.h) that carries its key in
// parameters.xml, its default and current value, for numbers the allowed range, and, when it is bound to a control of
// the main window, that control. The UI thread and the worker thread both write settings and every thread reads them:
// bool and number values are atomic, text values are guarded and read as copies.
namespace cvl {

// A text that one thread may replace while others read it. Reads hand out copies.
class GuardedString {
 public:
  GuardedString() = default;
  explicit GuardedString(std::string text) : text_(std::move(text)) {}
  GuardedString(const GuardedString&) = delete;
  GuardedString& operator=(const GuardedString&) = delete;

  GuardedString& operator=(std::string text);
  std::string get() const;
  operator std::string() const { return get(); }  // so that it reads like the plain string it replaces
  bool empty() const;

  friend bool operator==(const GuardedString& guarded, std::string_view text);

 private:
  mutable std::mutex mutex_;
  std::string text_;
};

class Parameter {
 public:
  explicit Parameter(std::string name) : key(std::move(name)) {}
  Parameter(const Parameter&) = delete;
  Parameter& operator=(const Parameter&) = delete;
  virtual ~Parameter();

  // The entry's name in parameters.xml (case-sensitive), or a button's caption.
  const std::string key;
};

class StringParameter : public Parameter {
 public:
  StringParameter(std::string name, std::string initial);
  ~StringParameter() override;

  std::string getValue() const { return value.get(); }
  // Assigns the value and saves this setting at once.
  void setValue(std::string text);

  // KEY="value", unless a stop has been requested.
  void log() const;
  // Appends this setting's entry (the default or the current value) and logs the current value.
  void appendTo(pugi::xml_node parameters, bool writeDefaults) const;
  // Takes the stored value, or the default when the key is missing (then false); logs either.
  bool readFrom(pugi::xml_node document);

  // Changes once at run time: a fresh settings file makes the running version PROGRAM_VERSION's default.
  GuardedString defaultValue;
  const std::string minValue;
  const std::string maxValue;
  GuardedString value;
};

class BoolParameter : public Parameter {
 public:
  BoolParameter(std::string name, bool initial);
  ~BoolParameter() override;

  // KEY=true or KEY=false, unless a stop has been requested.
  void log() const;
  void appendTo(pugi::xml_node parameters, bool writeDefaults) const;

  const bool defaultValue;
  const bool minValue;
  const bool maxValue;
  std::atomic<bool> value;
};

class IntParameter : public Parameter {
 public:
  IntParameter(std::string name, std::int32_t initial, std::int32_t lowest, std::int32_t highest);
  ~IntParameter() override;

  // KEY=value in decimal, unless a stop has been requested.
  void log() const;
  void appendTo(pugi::xml_node parameters, bool writeDefaults) const;
  // The number limited to minValue..maxValue.
  std::int32_t clampToRange(std::int64_t number) const;

  const std::int32_t defaultValue;
  const std::int32_t minValue;
  const std::int32_t maxValue;
  std::atomic<std::int32_t> value;
};

// The control of the main window that shows a setting (or a push button).
class OptionControl {
 public:
  OptionControl(std::uint16_t id, std::uint32_t row) : controlId(id), rowY(row) {}
  OptionControl(const OptionControl&) = delete;
  OptionControl& operator=(const OptionControl&) = delete;
  virtual ~OptionControl();

  // The control's command id.
  const std::uint16_t controlId;
  // The y of the control's row in the main window's client area.
  const std::uint32_t rowY;
  // The control, once the main window has created it.
  std::atomic<ui::Handle> hwnd{ui::noHandle};
};

class CheckBoxParameter : public BoolParameter, public OptionControl {
 public:
  CheckBoxParameter(std::string name, bool initial, std::uint16_t id, std::uint32_t row);
  ~CheckBoxParameter() override;
};

// A combo box of numbers. The range is the first to the last choice: values read from the file are clamped to it,
// not snapped to a choice.
class IntChoiceParameter : public IntParameter, public OptionControl {
 public:
  IntChoiceParameter(std::string name, std::int32_t initial, std::vector<std::int32_t> list, std::uint16_t id,
                     std::uint32_t row);
  ~IntChoiceParameter() override;

  // The position of the first choice equal to the number.
  std::optional<std::size_t> indexOf(std::int32_t number) const;
  // Refills the combo box with the choices and selects the one equal to the value (none when no choice is).
  void fillCombo() const;

  const std::vector<std::int32_t> choices;
};

// The same shape with hours as 32-bit floats (MAX_FIT_FL); its combo box is filled by the controls.
class FloatChoiceParameter : public Parameter, public OptionControl {
 public:
  FloatChoiceParameter(std::string name, float initial, std::vector<float> list, std::uint16_t id, std::uint32_t row);
  ~FloatChoiceParameter() override;

  const float defaultValue;
  const float minValue;
  const float maxValue;
  std::atomic<float> value;
  const std::vector<float> choices;
};

// An edit field bound to a text setting.
class EditParameter : public StringParameter, public OptionControl {
 public:
  EditParameter(std::string name, std::string initial, std::uint16_t id, std::uint32_t row);
  ~EditParameter() override;
};

// A combo box of fixed texts.
class StringChoiceParameter : public EditParameter {
 public:
  StringChoiceParameter(std::string name, std::string initial, std::vector<std::string> list, std::uint16_t id,
                        std::uint32_t row);
  ~StringChoiceParameter() override;

  // The position of the first choice equal to the value byte for byte.
  std::optional<std::size_t> indexOfValue() const;
  // Refills the combo box and selects exactly the choice equal to the value (none when no choice is).
  void fillCombo() const;

  const std::vector<std::string> choices;
};

// A combo box whose list of texts is shared with a global list that the program rebuilds at run time.
class SharedChoiceParameter : public EditParameter {
 public:
  SharedChoiceParameter(std::string name, std::string initial, std::shared_ptr<std::vector<std::string>> list,
                        std::uint16_t id, std::uint32_t row);
  ~SharedChoiceParameter() override;

  // Refills the combo box from the shared list and selects exactly the entry equal to the value.
  void fillCombo() const;

  std::shared_ptr<std::vector<std::string>> choices;
};

// A push button: a caption and a control, no value, never stored.
class ButtonControl : public Parameter, public OptionControl {
 public:
  ButtonControl(std::string caption, std::uint16_t id, std::uint32_t row);
  ~ButtonControl() override;
};

}  // namespace cvl

template <>
struct fmt::formatter<cvl::GuardedString> : fmt::formatter<std::string> {
  template <typename FormatContext>
  auto format(const cvl::GuardedString& text, FormatContext& context) const {
    return fmt::formatter<std::string>::format(text.get(), context);
  }
};
