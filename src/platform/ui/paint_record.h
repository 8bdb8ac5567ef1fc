#pragma once

#include <string>
#include <vector>

#include "platform/ui/colour.h"
#include "platform/ui/controls.h"

// What the window procedures painted, for tests: both backends keep the most recent paints of every window.
namespace cvl::ui {

enum class DrawKind { fill, line, text };

struct DrawCall {
  DrawKind kind = DrawKind::fill;
  Rect rect;  // fill: the rectangle; line: (left, top) to (right, bottom); text: its position in (left, top)
  Colour colour;
  std::string text;

  friend bool operator==(const DrawCall&, const DrawCall&) = default;
};

struct PaintRecord {
  Rect area;    // the invalid part that was repainted
  bool erased;  // the area was first filled with the window's background
  std::vector<DrawCall> calls;
};

inline constexpr std::size_t keptPaintRecords = 32;

// The window's latest paints, oldest first (at most keptPaintRecords).
std::vector<PaintRecord> paintRecords(Handle window);

}  // namespace cvl::ui
