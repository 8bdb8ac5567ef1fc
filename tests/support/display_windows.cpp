#include "support/display_windows.h"

#ifdef CORVALEN_HAS_FLTK

#include <X11/Xlib.h>

#include <memory>
#include <vector>

namespace cvl::test {
namespace {

using Connection = std::unique_ptr<Display, decltype(&XCloseDisplay)>;

Connection lf_connect(const std::string& display) {
  return Connection{XOpenDisplay(display.c_str()), &XCloseDisplay};
}

// The root's children: without a window manager every top-level window is one of them.
std::vector<Window> lf_shownWindows(Display* display, std::string_view title) {
  Window root = DefaultRootWindow(display);
  Window parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  std::vector<Window> shown;
  if (XQueryTree(display, root, &root, &parent, &children, &count) == 0) {
    return shown;
  }
  for (unsigned int index = 0; index < count; ++index) {
    char* name = nullptr;
    XWindowAttributes attributes{};
    if (XFetchName(display, children[index], &name) != 0 && name != nullptr && title == name &&
        XGetWindowAttributes(display, children[index], &attributes) != 0 && attributes.map_state == IsViewable) {
      shown.push_back(children[index]);
    }
    if (name != nullptr) {
      XFree(name);
    }
  }
  if (children != nullptr) {
    XFree(children);
  }
  return shown;
}

}  // namespace

int windowsShown(const std::string& display, std::string_view title) {
  const Connection connection = lf_connect(display);
  return connection ? static_cast<int>(lf_shownWindows(connection.get(), title).size()) : 0;
}

bool closeWindows(const std::string& display, std::string_view title) {
  const Connection connection = lf_connect(display);
  if (!connection) {
    return false;
  }
  const auto windows = lf_shownWindows(connection.get(), title);
  for (const Window window : windows) {
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(connection.get(), "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(connection.get(), "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(connection.get(), window, False, NoEventMask, &close);
  }
  XSync(connection.get(), False);
  return !windows.empty();
}

}  // namespace cvl::test

#else

namespace cvl::test {

int windowsShown(const std::string&, std::string_view) {
  return 0;
}

bool closeWindows(const std::string&, std::string_view) {
  return false;
}

}  // namespace cvl::test

#endif
