#include <gtest/gtest.h>

#include <thread>

#include "headless_window.h"
#include "platform/ui/paint_record.h"
#include "platform/ui/painter.h"

namespace cvl::test {
namespace {

using PaintingTest = HeadlessWindowTest;

constexpr ui::Colour green = ui::rgb(50, 205, 50);
constexpr ui::Colour yellow = ui::rgb(255, 255, 0);

// Paints a green band with a status text, as the bottom of a main window would.
ui::LResult paintBand(ui::Handle window, ui::Message message, ui::WParam, ui::LParam) {
  if (message == ui::msgPaint) {
    ui::Painter& painter = ui::beginPaint(window);
    painter.fillRect(ui::Rect{0, 448, 880, 476}, green);
    painter.line(0, 449, 880, 449, ui::rgb(255, 255, 255));
    painter.text(3, 455, "Ready", yellow);
  }
  return 0;
}

TEST_F(PaintingTest, NothingIsPaintedBeforeTheWindowIsShown) {
  openWindow(paintBand);
  ui::invalidate(window, ui::Rect{0, 448, 880, 476});
  ui::pumpMessages();
  EXPECT_TRUE(ui::paintRecords(window).empty());

  ui::showWindow(window);
  ui::pumpMessages();
  auto records = ui::paintRecords(window);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(records[0].erased);
  EXPECT_EQ(records[0].area.right, 880);
  EXPECT_EQ(records[0].area.bottom, 516);
}

TEST_F(PaintingTest, InvalidationsFromOtherThreadsBecomeOnePaintOfTheirUnion) {
  openWindow(paintBand);
  ui::showWindow(window);
  ui::pumpMessages();

  std::thread header{[this] { ui::invalidate(window, ui::Rect{0, 28, 880, 112}, false); }};
  std::thread status{[this] { ui::invalidate(window, ui::Rect{0, 448, 880, 476}, false); }};
  header.join();
  status.join();
  ui::pumpMessages();

  auto records = ui::paintRecords(window);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].area.top, 28);
  EXPECT_EQ(records[1].area.bottom, 476);
  EXPECT_FALSE(records[1].erased);
  EXPECT_EQ(records[1].calls, (std::vector<ui::DrawCall>{
                                  {ui::DrawKind::fill, ui::Rect{0, 448, 880, 476}, green, ""},
                                  {ui::DrawKind::line, ui::Rect{0, 449, 880, 449}, ui::rgb(255, 255, 255), ""},
                                  {ui::DrawKind::text, ui::Rect{3, 455, 3, 455}, yellow, "Ready"},
                              }));
}

TEST_F(PaintingTest, UpdateWindowPaintsAtOnceAndOldPaintsAreDropped) {
  openWindow(paintBand);
  ui::showWindow(window);
  for (std::size_t i = 0; i < ui::keptPaintRecords + 3; ++i) {
    ui::invalidate(window, ui::Rect{0, 0, 1, 1});
    EXPECT_TRUE(ui::updateWindow(window));
  }
  EXPECT_EQ(ui::paintRecords(window).size(), ui::keptPaintRecords);
}

TEST_F(PaintingTest, PaintingOutsideAPaintDrawsNothing) {
  openWindow();
  ui::Painter& painter = ui::beginPaint(window);
  painter.fillRect(ui::Rect{0, 0, 10, 10}, green);
  EXPECT_EQ(painter.area().right, 0);
  EXPECT_TRUE(ui::paintRecords(window).empty());
}

}  // namespace
}  // namespace cvl::test
