#include <poll.h>

#include <cstdio>

#include "platform/ui/layer.h"

namespace cvl::ui::detail {
namespace {

// Keeps no visible form: the state is all there is. Paints at once, through a painter that draws nothing, so that the
// paint records show what a window would have shown.
class HeadlessToolkit final : public Toolkit {
 public:
  void follow(Handle) override {}
  void forget(Handle) override {}

  void repaint(Handle window, const Rect& area, bool erase) override {
    NullPainter nothing{area};
    paintWindow(window, area, erase, nothing);
  }

  void flush() override {}

  void waitForWake(int wakeFd) override {
    pollfd wakeUp{wakeFd, POLLIN, 0};
    ::poll(&wakeUp, 1, -1);
  }

  // Nobody is there to read it: the box counts as answered once written out.
  void showMessageBox(const std::string& text, std::function<void()> answered) override {
    std::fprintf(stderr, "CRVL: %s\n", text.c_str());
    answered();
  }
};

}  // namespace

std::unique_ptr<Toolkit> makeHeadlessToolkit() {
  return std::make_unique<HeadlessToolkit>();
}

}  // namespace cvl::ui::detail
