#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/parameters.h"
#include "platform/ui/colour.h"
#include "platform/ui/messages.h"
#include "platform/ui/painter.h"

// The program's one top-level window: 880 x 516 pixels in five horizontal bands that show the state of every
// subsystem, with the controls through which the user changes settings. The window belongs to the UI thread, which
// alone paints it. Any other thread changes what it shows by writing a display value of mainWindow and then
// invalidating the one band that shows it (gf_invalidateBand); it never paints.
namespace cvl {

inline constexpr int mainWindowWidth = 880;
inline constexpr int mainWindowHeight = 516;

// The bands (left, top, right, bottom).
inline constexpr ui::Rect rcTitle{0, 0, 880, 28};
inline constexpr ui::Rect rcHeader{0, 28, 880, 112};
inline constexpr ui::Rect rcControls{0, 112, 880, 392};
inline constexpr ui::Rect rcStaticParking{0, 392, 880, 448};
inline constexpr ui::Rect rcStatusLine{0, 448, 880, 476};

// The program's own messages: start a worker cycle, and end the program (sent by the worker as its last act).
inline constexpr ui::Message WM_APP_START = ui::msgApp + 1;
inline constexpr ui::Message WM_APP_QUIT = ui::msgApp + 2;

struct SeparatorLine {
  int x1;
  int y1;
  int x2;
  int y2;
};

// A notice held on the status line: what it is about (the file or folder of a failed update) and its text. A released
// notice stays shown until the line next changes.
struct HeldNotice {
  std::string subject;
  std::string text;
  bool released = false;
};

// The window's state. Numbers and flags are atomic and texts are replaced whole (GuardedString), so the painter never
// sees a half-written value; the status line's texts, heldNotices and errorText are read and written only under
// mutex.
class MainWindow {
 public:
  MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  virtual ~MainWindow();

  // Puts every display value back to its start value (the reset before a restart).
  void resetDisplayValues();

  // The window's position on the screen, keys of parameters.xml (the settings objects of the catalogue).
  IntParameter& MAIN_WINDOW_X;
  IntParameter& MAIN_WINDOW_Y;

  const ui::Colour redBrush = ui::rgb(255, 0, 0);
  const ui::Colour blueBrush = ui::rgb(153, 204, 255);
  const ui::Colour blackBrush = ui::rgb(0, 0, 0);
  const ui::Colour greenBrush = ui::rgb(50, 205, 50);
  const ui::Colour yellowBrush = ui::rgb(255, 255, 0);
  const ui::Colour blackPen = ui::rgb(0, 0, 0);
  const ui::Colour whitePen = ui::rgb(255, 255, 255);
  // The horizontal grid of the controls band.
  const std::array<SeparatorLine, 7> separatorLines{{{0, 140, 880, 140},
                                                     {0, 168, 642, 168},
                                                     {0, 196, 642, 196},
                                                     {0, 224, 642, 224},
                                                     {0, 252, 642, 252},
                                                     {0, 280, 642, 280},
                                                     {0, 308, 880, 308}}};

  // Guards the status line's texts, heldNotices and errorText.
  std::mutex mutex;
  // The painter of the paint in progress; valid during the window's paint only (UI thread).
  ui::Painter* hdc = nullptr;
  std::atomic<ui::Handle> hwnd{ui::noHandle};

  std::string statusText;     // under mutex: the line's text whole, the message with every held notice
  std::string statusMessage;  // under mutex: the status message in it, without the held notices
  // Notices that stand on the status line, after its message, until they are released and the line changes (under
  // mutex).
  std::vector<HeldNotice> heldNotices;
  std::string errorText;  // under mutex: the error on the error line, whole; painted cut to the window's width
  GuardedString userAcTitleText;
  GuardedString parkAirportText;
  GuardedString parkedFileText;
  GuardedString airportFileText;
  GuardedString qualityText;
  GuardedString simNameText;
  GuardedString rtEditionText;
  GuardedString userStandText;
  GuardedString csOidText;
  // The park airport's reserved stand; empty when it has none.
  GuardedString reservedStandName;
  // The publisher of the park airport's file (not painted).
  GuardedString publisherText;
  // The announcement of the coming static-parking update (not painted).
  GuardedString announcementText;

  // Average fit in hours of the static and of the parked live aircraft (the latter also called the average parked
  // hours); not positive = none.
  std::atomic<float> staticAverageFit{-1.0F};
  std::atomic<float> liveAverageFit{-1.0F};
  std::atomic<std::uint64_t> liveCount{0};
  std::atomic<std::uint64_t> simAddonCount{0};
  std::atomic<std::uint64_t> thirdPartyCount{0};
  std::atomic<std::uint64_t> liveryCount{0};
  std::atomic<std::uint64_t> liveParkedCount{0};
  std::atomic<std::uint64_t> staticParkedCount{0};
  std::atomic<std::uint64_t> standCount{0};
  // Stands whose cargo attribute was changed, as last shown (not painted).
  std::atomic<std::uint64_t> cargoChangedCount{0};
  const std::int32_t parkingLineY = 399;
  std::atomic<std::int32_t> maxParkPercent{0};
  std::atomic<std::int32_t> qnh{0};
  std::atomic<std::int32_t> maxParkCount{0};
  std::atomic<std::int32_t> minutesToParkingUpdate{0};
  std::atomic<std::uint32_t> statusSeconds{0};
  std::atomic<std::uint32_t> statusSetAt{0};
  std::atomic<std::uint32_t> learnedUpdates{0};
  std::atomic<std::uint64_t> busyCount{0};
  std::atomic<bool> handmadeMark{false};
  std::atomic<bool> rtLampDark{true};
  std::atomic<bool> realTrafficLamp{false};
  std::atomic<bool> parkedFileOk{false};
  std::atomic<bool> simConnectLamp{false};
  std::atomic<bool> simRunningLamp{false};
  std::atomic<bool> userTypeMark{true};
  std::atomic<bool> staticSoftMark{false};
  std::atomic<bool> staticWeekMark{false};
  std::atomic<bool> reservedStandFound{false};
  // 1 datagrams arriving, 2 silent since the last check, 3 stopped.
  std::atomic<std::uint32_t> trafficLamp{3};
  std::atomic<std::uint32_t> weatherLamp{3};
  // Set as the last step of construction.
  std::atomic<bool> ready{false};
};

extern MainWindow mainWindow;

// The window the window procedure was last called with; the controls are found through it. Empty after a reset.
extern std::atomic<ui::Handle> wndProcHwnd;

// Creates the main window at its stored position and shows it; the class name is also its title. False when the
// window could not be created or shown.
bool initInstance(std::string_view className);

ui::LResult lf_wndProc(ui::Handle hwnd, ui::Message message, ui::WParam wParam, ui::LParam lParam);

// Each coordinate that stands at an edge of its range (-30000 or 30000) takes the given value, clamped, and is saved.
void lf_clampWindowPosition(std::int32_t x, std::int32_t y);

// Asks the UI thread to repaint one band of the main window; any thread.
void gf_invalidateBand(const ui::Rect& band);

// The reset before a restart: display values, status and error line, and wndProcHwnd.
void gf_resetMainWindow();

}  // namespace cvl
