#include "platform/ui/user_input.h"

#include <string>

#include "platform/ui/layer.h"
#include "platform/ui/window.h"

namespace cvl::ui {
namespace detail {
namespace {

// The control's parent, id and kind when it is live and enabled (a disabled control takes no input).
std::optional<std::tuple<Handle, std::uint16_t, ControlKind>> acceptingControl(Handle control) {
  std::lock_guard lock{layer().mutex};
  auto found = layer().controls.find(control);
  if (found == layer().controls.end() || !found->second.enabled) {
    return std::nullopt;
  }
  return std::tuple{found->second.parent, found->second.id, found->second.kind};
}

}  // namespace

void userClicked(Handle control) {
  auto accepting = acceptingControl(control);
  if (!accepting) {
    return;
  }
  auto [parent, id, kind] = *accepting;
  if (kind == ControlKind::pushButton || kind == ControlKind::checkBox) {
    callProcedure(parent, msgCommand, commandWParam(id, notifyClicked), static_cast<LParam>(control));
  }
}

void userChose(Handle combo, int index) {
  auto accepting = acceptingControl(combo);
  if (!accepting || std::get<2>(*accepting) != ControlKind::comboBox) {
    return;
  }
  {
    std::lock_guard lock{layer().mutex};
    auto& state = layer().controls.at(combo);
    if (index < 0 || index >= static_cast<int>(state.items.size())) {
      return;
    }
    state.selected = index;
    layer().markChangedLocked(combo);
  }
  auto [parent, id, kind] = *accepting;
  callProcedure(parent, msgCommand, commandWParam(id, notifySelectionChanged), static_cast<LParam>(combo));
}

void userTyped(Handle edit, std::string_view text) {
  std::lock_guard lock{layer().mutex};
  auto found = layer().controls.find(edit);
  if (found != layer().controls.end() && found->second.enabled && found->second.kind == ControlKind::edit) {
    found->second.text = text;
    layer().markChangedLocked(edit);
  }
}

void userPressedEnter(Handle edit) {
  EnterHook hook;
  {
    std::lock_guard lock{layer().mutex};
    auto found = layer().controls.find(edit);
    if (found == layer().controls.end() || !found->second.enabled) {
      return;
    }
    hook = found->second.onEnter;
  }
  if (hook) {
    hook(edit);
  }
}

void userClosed(Handle window) {
  callProcedure(window, msgClose, 0, 0);
}

}  // namespace detail

namespace user {

void click(Handle control) {
  detail::layer().enqueue([control] { detail::userClicked(control); });
}

void choose(Handle combo, int index) {
  detail::layer().enqueue([combo, index] { detail::userChose(combo, index); });
}

void type(Handle edit, std::string_view text) {
  detail::layer().enqueue([edit, typed = std::string{text}] { detail::userTyped(edit, typed); });
}

void pressEnter(Handle edit) {
  detail::layer().enqueue([edit] { detail::userPressedEnter(edit); });
}

void closeBox(Handle window) {
  detail::layer().enqueue([window] { detail::userClosed(window); });
}

}  // namespace user
}  // namespace cvl::ui
