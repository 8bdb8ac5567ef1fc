#include "platform/ui/layer.h"

#ifdef CORVALEN_HAS_FLTK

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>
#include <FL/fl_utf8.h>
#include <FL/x.H>

#include <cmath>
#include <cstring>
#include <utility>

namespace cvl::ui::detail {
namespace {

constexpr Fl_Font textFont = FL_HELVETICA;
constexpr Fl_Fontsize textSize = fontSize;
constexpr double waitForever = 1e20;
// Bytes of a text measured at once: far below the 32767 pixels the toolkit's measure holds.
constexpr std::ptrdiff_t measuredPiece = 1024;

Fl_Color toFl(Colour colour) {
  return fl_rgb_color(colour.red, colour.green, colour.blue);
}

void* asData(Handle handle) {
  return reinterpret_cast<void*>(handle);
}
Handle fromData(void* data) {
  return reinterpret_cast<Handle>(data);
}

// FLTK gives '&' and '@' a meaning in labels; the program's texts are shown as they are.
std::string plainLabel(std::string_view text) {
  std::string label;
  for (char c : text) {
    if (c == '&' || c == '@') {
      label += c;
    }
    label += c;
  }
  return label;
}

class FltkPainter final : public Painter {
 public:
  explicit FltkPainter(const Rect& area) : Painter(area) {}

  void fillRect(const Rect& rect, Colour colour) override {
    fl_rectf(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, colour.red, colour.green,
             colour.blue);
  }
  void line(int x1, int y1, int x2, int y2, Colour colour) override {
    fl_color(toFl(colour));
    fl_line_style(FL_SOLID, 1);
    fl_line(x1, y1, x2, y2);
  }
  void text(int x, int y, std::string_view utf8, Colour colour) override {
    fl_color(toFl(colour));
    fl_font(textFont, textSize);
    fl_draw(utf8.data(), static_cast<int>(utf8.size()), x, y + fl_height() - fl_descent());
  }
  // The toolkit keeps a text's width in 16 bits: a long text is measured in pieces, each ending on a character's end.
  int textWidth(std::string_view utf8) const override {
    fl_font(textFont, textSize);
    double width = 0;
    const char* const end = utf8.data() + utf8.size();
    for (const char* piece = utf8.data(); piece < end;) {
      const char* pieceEnd = end - piece > measuredPiece ? fl_utf8back(piece + measuredPiece, piece, end) : end;
      width += fl_width(piece, static_cast<int>(pieceEnd - piece));
      piece = pieceEnd;
    }
    return static_cast<int>(std::ceil(width));
  }
};

// The top-level window: the procedure paints it, the controls lie on top.
class WindowWidget final : public Fl_Double_Window {
 public:
  WindowWidget(Handle handle, const Rect& bounds)
      : Fl_Double_Window(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top),
        handle_(handle) {
    end();
    size_range(w(), h(), w(), h());
    callback(
        [](Fl_Widget*, void* data) {
          // Escape is no close box.
          if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) {
            return;
          }
          userClosed(fromData(data));
        },
        asData(handle));
  }

  void invalidate(const Rect& area, bool erase) {
    pendingArea_ = pendingArea_
                       ? Rect{std::min(pendingArea_->left, area.left), std::min(pendingArea_->top, area.top),
                              std::max(pendingArea_->right, area.right), std::max(pendingArea_->bottom, area.bottom)}
                       : area;
    pendingErase_ = pendingErase_ || erase;
    damage(FL_DAMAGE_ALL, area.left, area.top, area.right - area.left, area.bottom - area.top);
  }

  void draw() override {
    if (damage() != FL_DAMAGE_CHILD) {
      // An exposure the layer did not ask for repaints the whole window.
      const Rect area = pendingArea_.value_or(Rect{0, 0, w(), h()});
      const bool erase = pendingArea_ ? pendingErase_ : true;
      pendingArea_.reset();
      pendingErase_ = false;
      FltkPainter painter{area};
      paintWindow(handle_, area, erase, painter);
    }
    draw_children();
  }

  void resize(int x, int y, int width, int height) override {
    Fl_Double_Window::resize(x, y, width, height);
    // The user moved the window: its state follows, so that the position can be read and saved.
    std::lock_guard lock{layer().mutex};
    if (auto found = layer().windows.find(handle_); found != layer().windows.end()) {
      found->second.bounds = Rect{x, y, x + width, y + height};
    }
  }

  bool topmostShown = false;

 private:
  Handle handle_;
  std::optional<Rect> pendingArea_;
  bool pendingErase_ = false;
};

// An edit field whose Enter runs the field's hook and never reaches the text.
class EditWidget final : public Fl_Input {
 public:
  EditWidget(Handle handle, const Rect& bounds)
      : Fl_Input(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top), handle_(handle) {
    when(FL_WHEN_CHANGED);
    callback([](Fl_Widget* widget, void* data) { userTyped(fromData(data), static_cast<Fl_Input*>(widget)->value()); },
             asData(handle));
  }

  int handle(int event) override {
    if (event == FL_KEYBOARD && (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
      userPressedEnter(handle_);
      return 1;
    }
    return Fl_Input::handle(event);
  }

 private:
  Handle handle_;
};

// A combo box's list: the menu items point into the texts, so both live together.
struct ComboList {
  std::vector<std::string> items;   // as the program gave them
  std::vector<std::string> labels;  // as FLTK shows them
  std::vector<Fl_Menu_Item> menu;
};

// A box of its own beside the main window; OK, Enter, Escape and the close box answer it.
class MessageBoxWindow final : public Fl_Window {
 public:
  MessageBoxWindow(const std::string& text, std::function<void()> answered)
      : Fl_Window(420, 140, "CRVL"), answered_(std::move(answered)) {
    auto* message = new Fl_Box(20, 15, 380, 80);
    message->copy_label(plainLabel(text).c_str());
    message->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_WRAP);
    auto* ok = new Fl_Return_Button(320, 100, 80, 28, "OK");
    ok->callback([](Fl_Widget* button, void*) { static_cast<MessageBoxWindow*>(button->window())->answer(); });
    end();
    position((Fl::w() - w()) / 2, (Fl::h() - h()) / 2);
    callback([](Fl_Widget* window, void*) { static_cast<MessageBoxWindow*>(window)->answer(); });
  }

 private:
  void answer() {
    const auto answered = std::exchange(answered_, {});
    hide();
    Fl::delete_widget(this);
    if (answered) {
      answered();
    }
  }

  std::function<void()> answered_;
};

void setTopmostOnScreen(Fl_Window& window, bool topmost) {
  Atom state = XInternAtom(fl_display, "_NET_WM_STATE", False);
  Atom above = XInternAtom(fl_display, "_NET_WM_STATE_ABOVE", False);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = fl_xid(&window);
  event.xclient.message_type = state;
  event.xclient.format = 32;
  event.xclient.data.l[0] = topmost ? 1 : 0;
  event.xclient.data.l[1] = static_cast<long>(above);
  event.xclient.data.l[3] = 1;
  XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False, SubstructureRedirectMask | SubstructureNotifyMask,
             &event);
  XFlush(fl_display);
}

class FltkToolkit final : public Toolkit {
 public:
  FltkToolkit() {
    Fl::add_fd(layer().wakeReadFd(), FL_READ, [](int, void*) { layer().drainWake(); });
  }

  void follow(Handle handle) override {
    std::optional<WindowState> window;
    std::optional<ControlState> control;
    {
      std::lock_guard lock{layer().mutex};
      if (auto found = layer().windows.find(handle); found != layer().windows.end()) {
        window = found->second;
      } else if (auto each = layer().controls.find(handle); each != layer().controls.end()) {
        control = each->second;
      }
    }
    if (window) {
      followWindow(handle, *window);
    } else if (control) {
      followControl(handle, *control);
    }
  }

  void forget(Handle handle) override {
    if (auto window = windows_.find(handle); window != windows_.end()) {
      window->second->hide();
      Fl::delete_widget(window->second);  // its controls go with it
      std::erase_if(controls_, [&](const auto& each) { return each.second.parent == handle; });
      windows_.erase(window);
    } else if (auto control = controls_.find(handle); control != controls_.end()) {
      control->second.widget->parent()->remove(control->second.widget);
      Fl::delete_widget(control->second.widget);
      controls_.erase(control);
    }
  }

  void repaint(Handle window, const Rect& area, bool erase) override {
    if (auto found = windows_.find(window); found != windows_.end()) {
      found->second->invalidate(area, erase);
    }
  }

  void flush() override { Fl::flush(); }

  void waitForWake(int) override { Fl::wait(waitForever); }

  void showMessageBox(const std::string& text, std::function<void()> answered) override {
    layer().enqueue([text, answered = std::move(answered)] { (new MessageBoxWindow(text, answered))->show(); });
  }

 private:
  struct ControlWidget {
    Handle parent;
    Fl_Widget* widget;
    ComboList list;
  };

  void followWindow(Handle handle, const WindowState& state) {
    auto [found, created] = windows_.try_emplace(handle, nullptr);
    if (created) {
      found->second = new WindowWidget(handle, state.bounds);
      found->second->copy_label(state.title.c_str());
    }
    WindowWidget& widget = *found->second;
    if (widget.x() != state.bounds.left || widget.y() != state.bounds.top) {
      widget.position(state.bounds.left, state.bounds.top);
    }
    if (state.shown && !widget.shown()) {
      widget.show();
    }
    if (widget.shown() && widget.topmostShown != state.topmost) {
      setTopmostOnScreen(widget, state.topmost);
      widget.topmostShown = state.topmost;
    }
  }

  void followControl(Handle handle, const ControlState& state) {
    auto parent = windows_.find(state.parent);
    if (parent == windows_.end()) {
      return;
    }
    auto found = controls_.find(handle);
    if (found == controls_.end()) {
      Fl_Widget* widget = makeWidget(handle, state);
      parent->second->add(widget);
      found = controls_.emplace(handle, ControlWidget{state.parent, widget, {}}).first;
    }
    ControlWidget& control = found->second;
    Fl_Widget& widget = *control.widget;
    if (state.enabled) {
      widget.activate();
    } else {
      widget.deactivate();
    }
    switch (state.kind) {
      case ControlKind::pushButton:
        widget.copy_label(plainLabel(state.text).c_str());
        break;
      case ControlKind::checkBox:
        static_cast<Fl_Check_Button&>(widget).value(state.checked ? 1 : 0);
        break;
      case ControlKind::edit:
        if (auto& input = static_cast<Fl_Input&>(widget); state.text != input.value()) {
          input.value(state.text.c_str());
        }
        break;
      case ControlKind::comboBox:
        followCombo(static_cast<Fl_Choice&>(widget), control.list, state);
        break;
    }
    widget.redraw();
  }

  static Fl_Widget* makeWidget(Handle handle, const ControlState& state) {
    const Rect& b = state.bounds;
    const int width = b.right - b.left;
    const int height = b.bottom - b.top;
    Fl_Widget* widget = nullptr;
    switch (state.kind) {
      case ControlKind::pushButton:
        widget = new Fl_Button(b.left, b.top, width, height);
        widget->callback([](Fl_Widget*, void* data) { userClicked(fromData(data)); }, asData(handle));
        break;
      case ControlKind::checkBox:
        widget = new Fl_Check_Button(b.left, b.top, width, height);
        widget->callback(
            [](Fl_Widget* button, void* data) {
              // Not automatic: the check stays as the program set it until the program changes it.
              {
                std::lock_guard lock{layer().mutex};
                if (auto found = layer().controls.find(fromData(data)); found != layer().controls.end()) {
                  static_cast<Fl_Check_Button*>(button)->value(found->second.checked ? 1 : 0);
                }
              }
              userClicked(fromData(data));
            },
            asData(handle));
        break;
      case ControlKind::edit:
        widget = new EditWidget(handle, b);
        widget->labelsize(textSize);
        static_cast<Fl_Input*>(widget)->textsize(textSize);
        break;
      case ControlKind::comboBox:
        widget = new Fl_Choice(b.left, b.top, width, height);
        static_cast<Fl_Choice*>(widget)->textsize(textSize);
        widget->callback(
            [](Fl_Widget* choice, void* data) { userChose(fromData(data), static_cast<Fl_Choice*>(choice)->value()); },
            asData(handle));
        break;
    }
    widget->labelsize(textSize);
    if (state.colours.background) {
      widget->color(toFl(*state.colours.background));
    } else if (state.colours.textBackground) {
      widget->color(toFl(*state.colours.textBackground));
    }
    return widget;
  }

  static void followCombo(Fl_Choice& choice, ComboList& list, const ControlState& state) {
    if (list.items != state.items) {
      choice.menu(nullptr);
      list.items = state.items;
      list.labels.clear();
      for (const auto& item : list.items) {
        list.labels.push_back(plainLabel(item));
      }
      list.menu.assign(list.labels.size() + 1, Fl_Menu_Item{});
      for (std::size_t i = 0; i < list.labels.size(); ++i) {
        list.menu[i].label(list.labels[i].c_str());
        list.menu[i].labelsize(textSize);
      }
      choice.menu(list.menu.data());
    }
    if (state.selected >= 0 && state.selected < static_cast<int>(list.labels.size())) {
      choice.value(state.selected);
    } else {
      choice.value(static_cast<const Fl_Menu_Item*>(nullptr));
    }
  }

  std::unordered_map<Handle, WindowWidget*> windows_;
  std::unordered_map<Handle, ControlWidget> controls_;
};

}  // namespace

std::unique_ptr<Toolkit> makeFltkToolkit() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    return nullptr;
  }
  // FLTK takes this connection over: closing it and letting FLTK open another would race an X server that resets
  // when its last client leaves, and FLTK ends the process when it cannot open its own.
  fl_open_display(display);
  return std::make_unique<FltkToolkit>();
}

}  // namespace cvl::ui::detail

#else

namespace cvl::ui::detail {

std::unique_ptr<Toolkit> makeFltkToolkit() {
  return nullptr;
}

}  // namespace cvl::ui::detail

#endif
