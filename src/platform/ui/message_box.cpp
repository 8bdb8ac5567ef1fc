#include "platform/ui/message_box.h"

#include "platform/ui/layer.h"

namespace cvl::ui {

void showMessageBox(std::string_view text) {
  std::string shown{text};
  {
    std::lock_guard lock{detail::layer().mutex};
    detail::layer().messageBoxes.push_back(shown);
  }
  detail::toolkit().showMessageBox(shown);
}

std::vector<std::string> shownMessageBoxes() {
  std::lock_guard lock{detail::layer().mutex};
  return detail::layer().messageBoxes;
}

}  // namespace cvl::ui
