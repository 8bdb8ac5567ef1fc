#pragma once

#include <string_view>

#include "platform/ui/colour.h"
#include "platform/ui/painter.h"

// The picture of the main window: a pure function of the display values of mainWindow, of some settings and of the
// enabled state of some controls. Painting runs on the UI thread during the window's paint only.
namespace cvl {

inline constexpr ui::Colour green = ui::rgb(50, 205, 50);
inline constexpr ui::Colour yellow = ui::rgb(255, 255, 0);
inline constexpr ui::Colour red = ui::rgb(255, 0, 0);
inline constexpr ui::Colour grey = ui::rgb(160, 160, 160);
inline constexpr ui::Colour black = ui::rgb(0, 0, 0);

// The whole window, on the painter of the paint in progress (kept in mainWindow.hdc for the parts below).
void lf_paintMainWindow(ui::Painter& hdc);
// The header band: simulator and RealTraffic lamps, simulator lines, counts.
void lf_paintStatusBlock();
// The labels of the controls band.
void lf_paintControlLabels();
// The two lines of the static-parking band.
void lf_paintStaticParkingLine();
// One UTF-8 text at (x, y) with a transparent background. A text that is not valid UTF-8 is not drawn and is logged
// (unless the program is stopping).
void lf_drawText(std::string_view text, int x, int y, ui::Colour colour);

// Refreshes the live and parked counts, repainting the bands whose counts changed. Worker thread, once a second.
void lf_updateLiveCount();
// Disables the parking controls and announces the static-parking update that the next 15-second beat performs.
void lf_announceStaticParkingUpdate();

}  // namespace cvl
