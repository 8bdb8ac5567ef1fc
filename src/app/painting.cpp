#include "app/painting.h"

#include <fmt/format.h>

#include <functional>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "app/controls.h"
#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/periodic_jobs.h"
#include "app/status_line.h"
#include "engine/live_aircraft.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/text_encoding.h"
#include "foundation/throttled_log.h"
#include "foundation/utilities.h"
#include "parking/park_airport_state.h"
#include "platform/ui/controls.h"
#include "sceneryscan/tblo_archive.h"

namespace cvl {
namespace {

constexpr std::string_view titleNotice = "Real traffic in your simulator";
constexpr int parkingLine2Y = 427;

MainWindow& mw = mainWindow;

ui::Painter& hdc() {
  return *mw.hdc;
}

ui::Colour yellowWhen(bool on) {
  return on ? yellow : black;
}

ui::Colour greyUnless(bool on) {
  return on ? black : grey;
}

ui::Colour greyUnlessEnabled(const OptionControl& control) {
  return greyUnless(ui::isEnabled(control.hwnd));
}

// Both maxima 0: both labels red; otherwise the one that is 0 is yellow.
ui::Colour maximumColour(const IntChoiceParameter& own, const IntChoiceParameter& other) {
  if (own.value == 0 && other.value == 0) {
    return red;
  }
  return yellowWhen(own.value == 0);
}

struct Label {
  std::string_view text;
  int x;
  const OptionControl& row;
  std::function<ui::Colour()> colour;
};

ui::Colour plain() {
  return black;
}

// The fixed labels of the controls band, each level with the row of its setting.
const std::vector<Label>& controlLabels() {
  static const std::vector<Label> labels{
      {"Aerowinx", 672, AEROWINX, [] { return yellowWhen(AEROWINX.value); }},
      {"Stay on top", 768, ALWAYS_ON_TOP, plain},
      {"Nav lights", 768, NAV_LIGHTS_WHILE_PARKED, plain},
      {"GUID changes", 768, GUID_CHANGES, [] { return yellowWhen(!GUID_CHANGES.value); }},
      {"Scan for liveries", 25, SCAN_LIVERIES, [] { return yellowWhen(SCAN_LIVERIES.value); }},
      {"Automatic:", 237, LIG_AUTOMATIC, plain},
      {"Prioritize", 556, LIG_PRIORITIZE, plain},
      {"Scan for addon airports", 25, SCAN_AIRPORTS, [] { return yellowWhen(SCAN_AIRPORTS.value); }},
      {"Max aircraft matching depth", 5, MATCHING_DEPTH, plain},
      {"Optional:", 258, LIGHT_AIRCRAFT, plain},
      {"Light aircraft", 343, LIGHT_AIRCRAFT, [] { return greyUnlessEnabled(LIGHT_AIRCRAFT); }},
      {"Helicopters", 450, HELICOPTERS, [] { return greyUnlessEnabled(HELICOPTERS); }},
      {"FighterJets", 556, HIGH_PERF_AIRCRAFT, [] { return greyUnlessEnabled(HIGH_PERF_AIRCRAFT); }},
      {"Traffic injection", 5, RANGE, plain},
      {"Radius:", 163, RANGE, plain},
      {"nm, or", 270, RANGE, plain},
      {"Auto range", 343, AUTO_RANGE, plain},
      {"Ah:", 430, AR_ABOVE_HEIGHT, [] { return greyUnless(AUTO_RANGE.value); }},
      {"ft", 536, AR_ABOVE_HEIGHT, [] { return greyUnless(AUTO_RANGE.value); }},
      {"AirOnly", 592, AIRBORNE_ONLY, [] { return yellowWhen(AIRBORNE_ONLY.value); }},
      {"Block callsign:", 5, BLOCK_CALLSIGN, plain},
      {"Collision avoidance", 5, COLLISION_USER_GND, plain},
      {"User ground", 237, COLLISION_USER_GND, plain},
      {"User air", 343, COLLISION_USER_AIR, plain},
      {"Live X parked", 450, COLLISION_LIVE_PARKED_GND, plain},
      {"Airport parking", 5, MAX_PARK_SEL, [] { return yellowWhen(staticParkingBusy); }},
      {"Max park (static+live):", 171, MAX_PARK_SEL, [] { return maximumColour(MAX_PARK_SEL, MAX_LIVE_SEL); }},
      {"Max live (park incl):", 401, MAX_LIVE_SEL, [] { return maximumColour(MAX_LIVE_SEL, MAX_PARK_SEL); }},
      {"Straight push backs only", 672, STRAIGHT_PBS_ONLY, [] { return greyUnless(STRAIGHT_PBS_ONLY.value); }},
      {"Destination:", 137, DESTINATION, plain},
      {"Range:", 303, AIRP_RANGE, plain},
      {"nm", 403, AIRP_RANGE, plain},
      {"Height above gnd:", 440, AIRP_HEIGHT, plain},
      {"ft", 646, AIRP_HEIGHT, plain},
      {"ILO", 25, INITIAL_LOAD_ONLY, [] { return yellowWhen(INITIAL_LOAD_ONLY.value); }},
      {"Week", 91, WEEK, plain},
      {"Soft", 171, PARK_SOFT, plain},
      {"Target: ", 264, parking_percentage, plain},
      {"%", 378, parking_percentage, plain},
      {"Max fit:", 506, MAX_FIT_FL, plain},
      {"hrs", 632, MAX_FIT_FL, plain},
  };
  return labels;
}

int rowOf(const OptionControl& control) {
  return static_cast<int>(control.rowY);
}

// The lamp's fill colour also colours the simulator lines below it.
ui::Colour simulatorLampColour() {
  if (!mw.simConnectLamp) {
    return mw.redBrush;
  }
  const bool flying = mw.simRunningLamp && !mw.userAcTitleText.empty();
  return flying ? mw.greenBrush : mw.yellowBrush;
}

ui::Colour realTrafficLampColour() {
  if (mw.rtLampDark) {
    return mw.blackBrush;
  }
  if (!mw.realTrafficLamp) {
    return mw.redBrush;
  }
  return mw.trafficLamp == 1 ? mw.greenBrush : mw.yellowBrush;
}

// "# what: n" in green, or "# what: ..." in the colour of a missing count.
void lf_drawCount(std::string_view what, std::uint64_t count, int x, ui::Colour missing) {
  if (count != 0) {
    lf_drawText(fmt::format("# {}: {}", what, count), x, 91, green);
  } else {
    lf_drawText(fmt::format("# {}: ...", what), x, 91, missing);
  }
}

void lf_paintSimulatorLines(ui::Colour lampColour) {
  if (!mw.simConnectLamp) {
    lf_drawText("MSFS", 5, 35, green);
    return;
  }
  std::string simulator = mw.simNameText;
  if (const std::string stand = mw.userStandText; !stand.empty()) {
    simulator += ", user stand " + stand;
  }
  lf_drawText(simulator, 5, 35, lampColour);
  lf_drawText(mw.userAcTitleText.get(), 5, 63, mw.userTypeMark ? lampColour : yellow);
}

void lf_paintRealTrafficLines() {
  if (!mw.realTrafficLamp) {
    return;
  }
  lf_drawText(mw.rtEditionText.get(), 458, 35, green);
  if (const std::uint32_t weather = mw.weatherLamp; weather != 3) {
    lf_drawText("Weather", 458, 63, weather == 1 ? green : yellow);
  }
  if (const std::uint32_t traffic = mw.trafficLamp; traffic != 3) {
    lf_drawText("Traffic", 458, 91, traffic == 1 ? green : yellow);
  }
}

void lf_paintTitleBand() {
  lf_drawText(fmt::format("Version {}", programVersion.toString()), 3, 7, green);
  lf_drawText(programName, 390, 7, green);
  lf_drawText(titleNotice, 632, 7, green);
}

void lf_paintLampReadings() {
  if (!mw.realTrafficLamp) {
    return;
  }
  if (const std::uint32_t weather = mw.weatherLamp; (weather == 1 || weather == 2) && mw.qnh >= 1) {
    lf_drawText(fmt::format("qnh: {:4}", mw.qnh.load()), 642, 63, green);
  }
  if (const std::uint32_t traffic = mw.trafficLamp; traffic == 1 || traffic == 2) {
    lf_drawText(fmt::format("live: {:3}", mw.liveCount.load()), 642, 91, green);
  }
}

void lf_paintStatusBand() {
  const std::lock_guard lock{mw.mutex};
  if (mw.errorText.empty()) {
    gf_paintStatusLine();
  } else {
    lf_paintErrorLine();
  }
}

std::string_view staticMarks() {
  if (mw.staticSoftMark && mw.staticWeekMark) {
    return "*WS*";
  }
  if (mw.staticSoftMark) {
    return "*S*";
  }
  return mw.staticWeekMark ? "*W*" : "";
}

void lf_paintParkingCountdown() {
  if (!parkAirportActive || staticParkingBusy) {
    return;
  }
  const int y = rowOf(AIRP_RANGE);
  if (INITIAL_LOAD_ONLY.value) {
    lf_drawText("(no next ... )", 5, y, black);
  } else if (const std::int32_t minutes = mw.minutesToParkingUpdate; minutes >= 1 && minutes <= 19) {
    lf_drawText(fmt::format("(next in {} min)", minutes), 5, y, black);
  }
}

void lf_paintStaticParkingCounts() {
  lf_drawText(fmt::format("# stands: {:3}", mw.standCount.load()), 5, parkingLine2Y, green);
  lf_drawText(fmt::format("parked live: {:3}", mw.liveParkedCount.load()), 111, parkingLine2Y, green);
  if (const float liveFit = mw.liveAverageFit; liveFit > 0.0F) {
    lf_drawText(fmt::format("average fit: {}", gf_numberText(liveFit)), 249, parkingLine2Y, green);
  }
  const std::int32_t maxPark = mw.maxParkCount;
  if (maxPark > 0) {
    lf_drawText(fmt::format("static: {:3}", mw.staticParkedCount.load()), 430, parkingLine2Y, green);
    if (const std::uint64_t busy = mw.busyCount; busy != 0) {
      lf_drawText(fmt::format(" ({})", busy), 500, parkingLine2Y, yellow);
    }
    if (const float staticFit = mw.staticAverageFit; !mw.staticWeekMark && staticFit > 0.0F) {
      lf_drawText(fmt::format("average fit: {}", gf_numberText(staticFit)), 571, parkingLine2Y, green);
    }
  }
  if (maxPark != 0) {
    lf_drawText(fmt::format("max park: {:3} (={} %)", maxPark, mw.maxParkPercent.load()), 708, parkingLine2Y, green);
  } else {
    lf_drawText("no max park live", 708, parkingLine2Y, green);
  }
}

}  // namespace

// An outside text (the user aircraft's title, a stand id of an airport file) that is not UTF-8 is painted with
// replacement characters; a repaint comes whenever a datagram changes a value, so it is logged once in a run.
void lf_drawText(std::string_view text, int x, int y, ui::Colour colour) {
  try {
    utf8_to_wide(text);
  } catch (const std::runtime_error& failure) {
    static ThrottledLog limit{"Main window", "non-UTF-8 text", ThrottledLog::OncePerRun{}};
    if (!gf_stopping() && limit.admit()) {
      gf_log(fmt::format("TextOut utf8  to wide failed for '{}': {}", gf_excerpt(text), failure.what()));
    }
    hdc().text(x, y, gf_validUtf8(text), colour);
    return;
  }
  hdc().text(x, y, text, colour);
}

void lf_paintMainWindow(ui::Painter& painter) {
  mw.hdc = &painter;
  hdc().fillRect(rcTitle, mw.blackBrush);
  hdc().fillRect(rcHeader, mw.blackBrush);
  hdc().fillRect(rcStaticParking, mw.blackBrush);
  hdc().fillRect(rcControls, mw.blueBrush);
  hdc().fillRect(rcStatusLine, mw.greenBrush);
  for (const int y : {28, 113, 449, 392}) {
    hdc().line(0, y, 880, y, mw.whitePen);
  }
  lf_paintTitleBand();
  for (const auto& line : mw.separatorLines) {
    hdc().line(line.x1, line.y1, line.x2, line.y2, mw.blackPen);
  }
  hdc().line(642, 140, 642, 308, mw.blackPen);
  lf_paintStatusBlock();
  lf_paintLampReadings();
  lf_paintControlLabels();
  lf_paintStaticParkingLine();
  lf_paintStatusBand();
  mw.hdc = nullptr;
}

void lf_paintStatusBlock() {
  const ui::Colour simulatorColour = simulatorLampColour();
  hdc().fillRect(ui::Rect{397, 30, 425, 112}, simulatorColour);
  lf_drawText("Sim", 398, 63, green);
  lf_paintSimulatorLines(simulatorColour);
  lf_drawCount("liveries", mw.liveryCount, 5, red);
  lf_drawCount("simaddon", mw.simAddonCount, 141, yellow);
  lf_drawCount("thirdp", mw.thirdPartyCount, 278, yellow);
  hdc().fillRect(ui::Rect{425, 30, 453, 112}, realTrafficLampColour());
  lf_drawText("RT", 430, 63, green);
  lf_paintRealTrafficLines();
  hdc().line(425, 29, 425, 112, mw.blackPen);
}

void lf_paintControlLabels() {
  for (const auto& label : controlLabels()) {
    lf_drawText(label.text, label.x, rowOf(label.row), label.colour());
  }
  if (tbloReady != 0) {
    lf_drawText(fmt::format("Mail tblo.zip to {}, pls", supportMailAddress), 323, rowOf(SCAN_AIRPORTS), red);
  }
  if (const std::string lookup = mw.csOidText; !CALLSIGN_2_OBJECTID.value.empty() && !lookup.empty()) {
    lf_drawText(lookup, 476, rowOf(CALLSIGN_2_OBJECTID), black);
  }
  lf_paintParkingCountdown();
}

void lf_paintStaticParkingLine() {
  const std::string parkAirport = mw.parkAirportText;
  if (parkAirport.empty()) {
    return;
  }
  const int y = mw.parkingLineY;
  const bool fileOk = mw.parkedFileOk;
  lf_drawText(parkAirport, 5, y, fileOk ? green : yellow);
  if (!fileOk) {
    return;
  }
  lf_drawText(fmt::format(" {}, {}{}, wk={}", mw.parkedFileText, mw.airportFileText, mw.handmadeMark ? " (h)" : "",
                          rtTrafficWeek.load()),
              85, y, green);
  lf_drawText(staticMarks(), 370, y, green);
  lf_drawText(fmt::format("qf: {}", mw.qualityText), 430, y, green);
  if (const std::string reserved = mw.reservedStandName; !reserved.empty()) {
    lf_drawText(fmt::format("reserved stand: {}", reserved), 571, y, mw.reservedStandFound ? green : red);
  }
  lf_drawText(fmt::format("# updates: {:4}", mw.learnedUpdates.load()), 748, y, green);
  lf_paintStaticParkingCounts();
}

void lf_updateLiveCount() {
  const std::uint64_t liveParked = gf_countLiveParked(true);
  const auto active = static_cast<std::uint64_t>(std::count_if(liveAcs.begin(), liveAcs.end(), [](const LiveAc& each) {
    return each.state == AcState::active && each.phase != AcPhase::parked;
  }));
  if (active != mw.liveCount) {
    mw.liveCount = active;
    gf_invalidateBand(rcHeader);
  }
  const std::uint64_t staticParked = gf_countStaticParked(true);
  if (staticParked != mw.staticParkedCount || liveParked != mw.liveParkedCount) {
    mw.staticParkedCount = staticParked;
    mw.liveParkedCount = liveParked;
    gf_invalidateBand(rcStaticParking);
  }
}

void lf_announceStaticParkingUpdate() {
  gf_disableParkingControls();
  constexpr std::int32_t beat = 15;
  const std::int32_t n = tickSeconds;
  const std::int32_t seconds = (n / beat + 1) * beat - n;
  gf_setStatusLine(
      fmt::format("{} will update static parking in {} second{} ...", programName, seconds, gf_pluralS(seconds)),
      false);
  staticUpdateRequested = true;
}

}  // namespace cvl
