#pragma once

#include <string_view>

#include "platform/ui/colour.h"
#include "platform/ui/controls.h"

// Drawing in a window, during msgPaint only.
namespace cvl::ui {

// The size of the window's font in pixels. None of its characters is wider than that for each byte of its UTF-8.
inline constexpr int fontSize = 13;

class Painter {
 public:
  virtual ~Painter() = default;

  // Fills from (left, top) up to but not including (right, bottom).
  virtual void fillRect(const Rect& rect, Colour colour) = 0;
  // A solid line one pixel wide from (x1, y1) to (x2, y2).
  virtual void line(int x1, int y1, int x2, int y2, Colour colour) = 0;
  // UTF-8 text with a transparent background, in the window's font, its top-left corner at (x, y).
  virtual void text(int x, int y, std::string_view utf8, Colour colour) = 0;
  // How many pixels wide text() paints the UTF-8 text.
  virtual int textWidth(std::string_view utf8) const = 0;

  // The part of the window being repainted; drawing outside it is clipped.
  const Rect& area() const { return area_; }

 protected:
  explicit Painter(const Rect& area) : area_(area) {}

 private:
  Rect area_;
};

// The painter of the window's paint in progress. Outside msgPaint (or for another window) a painter that draws
// nothing over an empty area.
Painter& beginPaint(Handle window);

}  // namespace cvl::ui
