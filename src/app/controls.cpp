#include "app/controls.h"

#include <fmt/format.h>

#include "foundation/log.h"
#include "platform/ui/controls.h"

namespace cvl {
namespace {

void lf_setControlText(const OptionControl& control, std::string_view text) {
  const ui::Handle handle = control.hwnd;
  if (!ui::isWindow(handle)) {
    gf_log(fmt::format("GetDlgItem failed for ID {}", control.controlId));
    return;
  }
  ui::setText(handle, text);
}

}  // namespace

void gf_setIntControlText(const IntChoiceParameter& setting) {
  lf_setControlText(setting, fmt::format("{}", setting.value.load()));
}

void gf_setStringControlText(const EditParameter& setting) {
  lf_setControlText(setting, setting.getValue());
}

void gf_showCheckBox(const CheckBoxParameter& setting) {
  const ui::Handle handle = setting.hwnd;
  if (ui::isWindow(handle)) {
    ui::setChecked(handle, setting.value);
  }
}

}  // namespace cvl
