#include "platform/ui/message_box.h"

#include <algorithm>

#include "platform/ui/layer.h"
#include "platform/ui/window.h"

namespace cvl::ui {

namespace detail {

void BoxAnswer::give() {
  {
    std::lock_guard lock{mutex_};
    answered_ = true;
  }
  given_.notify_all();
}

void BoxAnswer::await() {
  std::unique_lock lock{mutex_};
  given_.wait(lock, [this] { return answered_; });
}

}  // namespace detail

void showMessageBox(std::string_view text) {
  std::string shown{text};
  auto answer = std::make_shared<detail::BoxAnswer>();
  bool callerWaits = false;
  {
    std::lock_guard lock{detail::layer().mutex};
    detail::layer().messageBoxes.push_back(shown);
    callerWaits = detail::layer().boxesHoldCallers && !onUiThread();
    if (callerWaits) {
      detail::layer().awaitedBoxes.push_back(answer);
    }
  }
  detail::toolkit().showMessageBox(shown, [answer] { answer->give(); });
  if (!callerWaits) {
    return;
  }
  answer->await();
  std::lock_guard lock{detail::layer().mutex};
  std::erase(detail::layer().awaitedBoxes, answer);
}

void releaseMessageBoxWaits() {
  std::vector<std::shared_ptr<detail::BoxAnswer>> unanswered;
  {
    std::lock_guard lock{detail::layer().mutex};
    detail::layer().boxesHoldCallers = false;
    unanswered.swap(detail::layer().awaitedBoxes);
  }
  for (const auto& answer : unanswered) {
    answer->give();
  }
}

std::vector<std::string> shownMessageBoxes() {
  std::lock_guard lock{detail::layer().mutex};
  return detail::layer().messageBoxes;
}

}  // namespace cvl::ui
