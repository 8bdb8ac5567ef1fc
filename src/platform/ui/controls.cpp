#include "platform/ui/controls.h"

#include <algorithm>

#include "platform/ui/layer.h"

namespace cvl::ui {
namespace {

using detail::ControlState;
using detail::layer;

template <typename Change>
bool changeControl(Handle control, Change&& change) {
  return detail::changeState(&detail::Layer::controls, control, std::forward<Change>(change));
}

template <typename Read, typename Result = std::invoke_result_t<Read, const ControlState&>>
Result readControl(Handle control, Read&& read, Result none) {
  std::lock_guard lock{layer().mutex};
  auto found = layer().controls.find(control);
  return found == layer().controls.end() ? none : read(found->second);
}

bool isAsciiPrefixWithoutCase(std::string_view prefix, std::string_view text) {
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return prefix.size() <= text.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [&](char a, char b) { return lower(a) == lower(b); });
}

}  // namespace

Handle createControl(Handle parent, ControlSpec spec) {
  std::lock_guard lock{layer().mutex};
  auto window = layer().windows.find(parent);
  if (window == layer().windows.end()) {
    return noHandle;
  }
  Handle handle = layer().newHandle();
  ControlState state;
  state.parent = parent;
  state.kind = spec.kind;
  state.id = spec.id;
  state.bounds = spec.bounds;
  state.listHeight = spec.listHeight;
  state.onEnter = std::move(spec.onEnter);
  state.text = std::move(spec.text);
  state.enabled = spec.enabled;
  layer().controls.emplace(handle, std::move(state));
  window->second.controls.push_back(handle);
  layer().markChangedLocked(handle);
  return handle;
}

bool isWindow(Handle handle) {
  std::lock_guard lock{layer().mutex};
  return layer().windows.contains(handle) || layer().controls.contains(handle);
}

Handle controlById(Handle parent, std::uint16_t controlId) {
  std::lock_guard lock{layer().mutex};
  auto window = layer().windows.find(parent);
  if (window == layer().windows.end()) {
    return noHandle;
  }
  for (Handle control : window->second.controls) {
    if (layer().controls.at(control).id == controlId) {
      return control;
    }
  }
  return noHandle;
}

void setText(Handle control, std::string_view text) {
  changeControl(control, [&](ControlState& state) { state.text = text; });
}

std::string text(Handle control) {
  return readControl(
      control, [](const ControlState& state) { return state.text; }, std::string{});
}

void enable(Handle control, bool enabled) {
  changeControl(control, [&](ControlState& state) { state.enabled = enabled; });
}

bool isEnabled(Handle control) {
  return readControl(
      control, [](const ControlState& state) { return state.enabled; }, false);
}

void setChecked(Handle checkBox, bool checked) {
  changeControl(checkBox, [&](ControlState& state) {
    if (state.kind == ControlKind::checkBox) {
      state.checked = checked;
    }
  });
}

bool isChecked(Handle checkBox) {
  return readControl(
      checkBox, [](const ControlState& state) { return state.checked; }, false);
}

void comboReset(Handle combo) {
  changeControl(combo, [](ControlState& state) {
    state.items.clear();
    state.selected = -1;
  });
}

void comboAdd(Handle combo, std::string_view item) {
  changeControl(combo, [&](ControlState& state) { state.items.emplace_back(item); });
}

void comboSelectIndex(Handle combo, int index) {
  changeControl(combo, [&](ControlState& state) {
    state.selected = (index >= 0 && index < static_cast<int>(state.items.size())) ? index : -1;
  });
}

int comboSelectPrefix(Handle combo, std::string_view prefix) {
  int chosen = -1;
  changeControl(combo, [&](ControlState& state) {
    auto found = std::find_if(state.items.begin(), state.items.end(),
                              [&](const std::string& item) { return isAsciiPrefixWithoutCase(prefix, item); });
    if (found != state.items.end()) {
      chosen = static_cast<int>(found - state.items.begin());
      state.selected = chosen;
    }
  });
  return chosen;
}

int comboSelectedIndex(Handle combo) {
  return readControl(
      combo, [](const ControlState& state) { return state.selected; }, -1);
}

std::vector<std::string> comboItems(Handle combo) {
  return readControl(
      combo, [](const ControlState& state) { return state.items; }, std::vector<std::string>{});
}

void invalidate(Handle window, const Rect& area, bool erase) {
  std::lock_guard lock{layer().mutex};
  auto found = layer().windows.find(window);
  if (found != layer().windows.end()) {
    detail::invalidateLocked(found->second, area, erase);
    layer().wake();
  }
}

}  // namespace cvl::ui
