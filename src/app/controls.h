#pragma once

#include "foundation/parameters.h"

// Keeping the main window's controls in step with their settings. Callable from any thread.
namespace cvl {

// Show the setting's value as the text of its control.
void gf_setIntControlText(const IntChoiceParameter& setting);
void gf_setStringControlText(const EditParameter& setting);
// Show the setting's value in its check box (checked when true).
void gf_showCheckBox(const CheckBoxParameter& setting);

}  // namespace cvl
