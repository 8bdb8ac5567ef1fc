#include "app/status_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iostream>
#include <ranges>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "app/painting.h"
#include "foundation/text_encoding.h"
#include "main_window_fixture.h"
#include "platform/ui/painter.h"

namespace cvl::test {
namespace {

using StatusLine = MainWindowTest;

// Without a display each byte is reckoned as wide as the font's widest character.
int headlessWidth(std::string_view text) {
  return ui::beginPaint(ui::noHandle).textWidth(text);
}

// The line starts 3 pixels in from the left edge and keeps as much plain band before the right one.
constexpr int lineRoom = mainWindowWidth - 2 * 3;

TEST_F(StatusLine, AMessageIsLoggedOnlyWhenAskedAndNotEmpty) {
  openMainWindow();
  gf_setStatusLine("Reading dbase ...", true);
  gf_setStatusLine("Checking versions ...", false);
  EXPECT_EQ(gf_statusText(), "Checking versions ...");

  gf_setStatusLine("", true);
  EXPECT_EQ(logBody(), "Reading dbase ...\n");
  EXPECT_EQ(mainWindow.statusSetAt, 0U);
  const auto calls = paintAll();
  EXPECT_EQ(fillOf(calls, rcStatusLine), green);
  EXPECT_FALSE(textAt(calls, 3, 455));
}

TEST_F(StatusLine, WhileAnErrorStandsStatusMessagesAreDroppedWithoutATrace) {
  openMainWindow();
  gf_setStatusLine("Reading dbase ...", false);
  gf_setErrorLine("SimConnect failed");
  gf_setStatusLine("Checking versions ...", true);
  gf_clearStatusLine();

  EXPECT_EQ(gf_errorText(), "SimConnect failed");
  EXPECT_EQ(gf_statusText(), "");
  EXPECT_EQ(logBody(), "Error SimConnect failed\n");
  const auto calls = paintAll();
  EXPECT_EQ(fillOf(calls, rcStatusLine), red);
  EXPECT_EQ(textAt(calls, 3, 455)->text, "SimConnect failed");
}

TEST_F(StatusLine, EmptyingTheErrorTextThenClearingEndsTheErrorState) {
  openMainWindow();
  gf_setErrorLine("SimConnect failed");
  {
    const std::lock_guard lock{mainWindow.mutex};
    mainWindow.errorText.clear();
  }
  gf_clearStatusLine();
  gf_setStatusLine("Restarting after 3 seconds", false);

  const auto calls = paintAll();
  EXPECT_EQ(fillOf(calls, rcStatusLine), green);
  EXPECT_EQ(textAt(calls, 3, 455)->text, "Restarting after 3 seconds");
}

TEST_F(StatusLine, AMessageStandsForTwentyFiveBeatsAndAReplacementStartsAgain) {
  openMainWindow();
  gf_setStatusLine("first", false);
  EXPECT_EQ(mainWindow.statusSetAt, 1U) << "set before the first beat";
  for (int beat = 1; beat <= 24; ++beat) {
    gf_countStatusSecond();
  }
  EXPECT_EQ(gf_statusText(), "first");
  gf_countStatusSecond();
  EXPECT_EQ(mainWindow.statusSeconds, 25U);
  EXPECT_EQ(gf_statusText(), "first");
  gf_countStatusSecond();
  EXPECT_EQ(gf_statusText(), "") << "cleared when the counter reaches 26";

  gf_setStatusLine("second", false);
  for (int beat = 0; beat < 3; ++beat) {
    gf_countStatusSecond();
  }
  gf_setStatusLine("third", false);
  for (int beat = 0; beat < 24; ++beat) {
    gf_countStatusSecond();
  }
  EXPECT_EQ(gf_statusText(), "third");
  gf_countStatusSecond();
  EXPECT_EQ(gf_statusText(), "");

  gf_setErrorLine("lost");
  for (int beat = 0; beat < 100; ++beat) {
    gf_countStatusSecond();
  }
  EXPECT_EQ(gf_errorText(), "lost") << "the error line never times out";
}

TEST_F(StatusLine, HeldNoticesStandAfterTheMessageOneForEachFileUntilReleased) {
  openMainWindow();
  gf_setStatusLine("Reading dbase ...", true);
  EXPECT_TRUE(gf_holdStatusNotice("input/AIG-regcodes.enc", "aig update failed"));
  EXPECT_TRUE(gf_holdStatusNotice("input/dbase.enc", "dbase update failed"));
  EXPECT_FALSE(gf_holdStatusNotice("input/AIG-regcodes.enc", "aig update failed"));
  EXPECT_EQ(gf_statusText(), "Reading dbase ... | aig update failed | dbase update failed");
  gf_setStatusLine("Scanning for liveries ...", true);
  EXPECT_TRUE(gf_holdStatusNotice("input/AIG-regcodes.enc", "input/AIG-regcodes.enc is damaged"));
  EXPECT_EQ(gf_statusText(), "Scanning for liveries ... | input/AIG-regcodes.enc is damaged | dbase update failed");
  gf_clearStatusLine();
  EXPECT_EQ(gf_statusText(), "input/AIG-regcodes.enc is damaged | dbase update failed");
  EXPECT_EQ(logBody(), "Reading dbase ...\nScanning for liveries ...\n") << "the holder logs its notices itself";

  gf_releaseStatusNotices();
  const auto calls = paintAll();
  EXPECT_EQ(textAt(calls, 3, 455)->text, "input/AIG-regcodes.enc is damaged | dbase update failed");
  gf_setStatusLine("Waiting for MSFS 2020 ...", false);
  EXPECT_EQ(gf_statusText(), "Waiting for MSFS 2020 ...");
}

// Without a display every byte is reckoned as wide as the font's widest character, 13 pixels: a line holds 67 bytes
// between its margins.
TEST_F(StatusLine, NoticesThatWouldRunPastTheRightEdgeAreCountedForLogTxt) {
  openMainWindow();
  gf_setStatusLine("Reading ...", true);
  gf_holdStatusNotice("input/airports.enc", "airports failed");
  gf_holdStatusNotice("input/AIG-regcodes.enc", "aig failed");
  gf_holdStatusNotice("input/dbase.enc", "dbase failed");
  const auto shown = [this] { return textAt(paintAll(), 3, 455)->text; };
  EXPECT_EQ(shown(), "Reading ... | airports failed | aig failed | dbase failed")
      << "all of them fit, though two of them and the count of the third would not";

  gf_holdStatusNotice("input/dbase.enc", "dbase update to 2.0.0 failed");
  EXPECT_EQ(shown(), "Reading ... | airports failed | and 2 more failures, see Log.txt");
  gf_setStatusLine("Reading dbase ...", true);
  EXPECT_EQ(shown(), "Reading dbase ... | 3 failures, see Log.txt");
  gf_setStatusLine(std::string(60, 'm'), false);
  EXPECT_EQ(shown(), std::string(38, 'm') + "... | 3 failures, see Log.txt")
      << "a message that leaves no room for the count gives way at its end";
  EXPECT_EQ(gf_statusText(), std::string(60, 'm') + " | airports failed | aig failed | dbase update to 2.0.0 failed");
}

// The parts of a painted line: the message (when there is one), then the held notices and the count, if any.
struct LineParts {
  std::string message;
  std::vector<std::string> notices;
  std::size_t counted = 0;
  bool countLast = false;
};

LineParts partsOf(std::string_view line, bool withMessage) {
  static const std::regex countText{R"((?:and (\d+) more|(\d+)) failures?, see Log\.txt)"};
  LineParts parts;
  std::size_t index = 0;
  for (const auto piece : std::views::split(line, std::string_view{" | "})) {
    const std::string text{piece.begin(), piece.end()};
    std::smatch count;
    if (index++ == 0 && withMessage) {
      parts.message = text;
    } else if (std::regex_match(text, count, countText)) {
      parts.counted = std::stoul(count[1].matched ? count[1].str() : count[2].str());
      parts.countLast = true;
    } else {
      parts.notices.push_back(text);
      parts.countLast = false;
    }
  }
  return parts;
}

TEST_F(StatusLine, TheWholeLineCountIncludedStaysInsideTheWindowForShortAndLongMessages) {
  openMainWindow();
  const std::vector<std::pair<std::string, std::string>> failures{{"input/airports.enc", "airports update failed"},
                                                                  {"input/AIG-regcodes.enc", "aig update failed"},
                                                                  {"input/dbase.enc", "dbase update failed"}};
  const auto shown = [this] {
    const auto painted = textAt(paintAll(), 3, 455);
    return painted ? painted->text : std::string{"(nothing painted)"};
  };
  testing::internal::CaptureStdout();  // where each line is mirrored without a visible window
  for (const bool held : {false, true}) {
    if (held) {
      for (const auto& [file, failure] : failures) {
        gf_holdStatusNotice(file, failure);
      }
      gf_setStatusLine("Waiting for RealTraffic ...", true);
      EXPECT_EQ(shown(), "Waiting for RealTraffic ... | 3 failures, see Log.txt");
    }
    const int countWidth = held ? headlessWidth(" | 3 failures, see Log.txt") : 0;

    // A character beyond ASCII is reckoned by its bytes. An empty message with nothing held paints no line at all.
    for (const std::string_view character : {"w", "\u20ac"}) {
      for (std::size_t characters = held ? 0 : 1; characters <= 160; ++characters) {
        std::string message;
        for (std::size_t count = 0; count < characters; ++count) {
          message += character;
        }
        SCOPED_TRACE(testing::Message() << characters << " times " << character << (held ? ", notices held" : ""));
        gf_setStatusLine(message, false);
        const std::string line = shown();
        EXPECT_LE(headlessWidth(line), lineRoom) << line;
        EXPECT_TRUE(gf_isUtf8(line, false));
        const LineParts parts = partsOf(line, !message.empty());
        if (headlessWidth(message) + countWidth <= lineRoom) {
          EXPECT_EQ(parts.message, message) << "a message that leaves room for the count is shown whole";
        } else {
          EXPECT_TRUE(parts.message.ends_with("...") &&
                      message.starts_with(parts.message.substr(0, parts.message.size() - 3)))
              << "as much of the message's start as leaves room for the count comes first: " << line;
          EXPECT_GT(headlessWidth(line) + headlessWidth(character), lineRoom)
              << "the cut gives up no character that fits: " << line;
        }
        EXPECT_EQ(parts.countLast, parts.notices.size() < (held ? failures.size() : 0U)) << line;
        EXPECT_EQ(parts.notices.size() + parts.counted, held ? failures.size() : 0U) << line;
        for (std::size_t notice = 0; notice < parts.notices.size(); ++notice) {
          EXPECT_EQ(parts.notices[notice], failures[notice].second);
        }
      }
    }
  }
  const std::string mirrored = testing::internal::GetCapturedStdout();
  if (HasFailure()) {
    std::cout << mirrored;  // the failures among them
  }
}

// Either line fits the window: a long text is cut at its end, and Log.txt and the terminal have it whole. An error set
// from another thread reaches the band the same way, and one that differs from the last only past the cut is still a
// new error to the terminal.
TEST_F(StatusLine, ALongLineIsCutAtTheWindowsEdgeWhileLogTxtAndTheTerminalHaveItWhole) {
  openMainWindow();
  const auto painted = [this] { return textAt(paintAll(), 3, 455)->text; };
  const std::string status = "callsign '" + std::string(300, 'x') + "' is not valid";
  testing::internal::CaptureStdout();
  gf_setStatusLine(status, true);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), status + "\n");
  EXPECT_EQ(painted(), status.substr(0, 64) + "...") << "with no held notice behind it too";

  std::string euros;
  for (int euro = 0; euro < 20; ++euro) {
    euros += "\u20ac";
  }
  const std::string sharedStart =
      "cannot copy: Permission denied [airports/" + euros + ".xml] [airports/my_thirdparty.unfinished/" + euros;
  const std::string error = sharedStart + ".xml]";
  const std::string nextError = sharedStart + ".bgl]";
  testing::internal::CaptureStdout();
  std::thread{[&error] { gf_setErrorLine(error); }}.join();
  const std::string shownError = painted();
  gf_setErrorLine(nextError);
  gf_setErrorLine(nextError);
  const std::string mirrored = testing::internal::GetCapturedStdout();

  EXPECT_LE(headlessWidth(shownError), lineRoom) << shownError;
  EXPECT_TRUE(shownError.ends_with("...")) << shownError;
  EXPECT_TRUE(error.starts_with(shownError.substr(0, shownError.size() - 3))) << shownError;
  EXPECT_GT(headlessWidth(shownError) + headlessWidth("\u20ac"), lineRoom)
      << "as much of the error as the window shows, never half a character";
  EXPECT_TRUE(gf_isUtf8(shownError, false));
  EXPECT_EQ(painted(), shownError) << "the errors differ only past the cut";
  EXPECT_EQ(gf_errorText(), nextError);
  EXPECT_EQ(mirrored, "Error " + error + "\nError " + nextError + "\n") << "each new error once";
  EXPECT_EQ(logBody(), status + "\nError " + error + "\nError " + nextError + "\nError " + nextError + "\n");

  gf_setErrorLine("SimConnect failed");
  EXPECT_EQ(painted(), "SimConnect failed");
}

// Both lines are one line of the window: a line break or another control character in a text is painted as a blank,
// never as a glyph of its own.
TEST_F(StatusLine, NoControlCharacterReachesThePaintedLine) {
  openMainWindow();
  const auto painted = [this] { return textAt(paintAll(), 3, 455)->text; };
  gf_setStatusLine("Parking adjustments: 0 to be removed, 1 to be added\n", false);
  EXPECT_EQ(painted(), "Parking adjustments: 0 to be removed, 1 to be added ");
  gf_holdStatusNotice("airports/my_thirdparty", "a\tb\r\n c");
  EXPECT_EQ(painted(), "Parking adjustments: 0 to be removed, 1 to be added  | a b   c");
  mainWindow.resetDisplayValues();
  gf_setErrorLine("line one\nline two\x1b[31m\u0085\u2028end");
  EXPECT_EQ(painted(), "line one line two [31m  end");
}

// Log.txt and the terminal have a status or error text whole, its control characters and stray bytes escaped as in
// Log.txt's other outside texts: a typed or received text can neither begin a line of its own nor drive the terminal.
TEST_F(StatusLine, LogTxtAndTheTerminalShowControlCharactersEscaped) {
  openMainWindow();
  testing::internal::CaptureStdout();
  gf_setStatusLine("callsign 'AB\nCD\x1b[31m\xff' is not valid", true);
  gf_holdStatusNotice("airports/my_thirdparty", "airports/my\tthirdparty left as it was");
  gf_setErrorLine("cannot copy [airports/\r\u0085x.xml]");
  const std::string mirrored = testing::internal::GetCapturedStdout();

  const std::string status = "callsign 'AB\\nCD\\x1b[31m\\xff' is not valid\n";
  const std::string error = "Error cannot copy [airports/\\r\\u0085x.xml]\n";
  EXPECT_EQ(mirrored, status + "airports/my\\tthirdparty left as it was\n" + error);
  EXPECT_EQ(logBody(), status + error);
}

// A long text of stray bytes shows as many replacement characters as the window's width holds, then "...".
TEST_F(StatusLine, ALongTextOfStrayBytesIsCutAfterAllThatFit) {
  openMainWindow();
  const auto painted = [this] { return textAt(paintAll(), 3, 455)->text; };
  const std::string stray(300, '\x80');
  gf_setStatusLine(stray, false);
  const std::string status = painted();
  gf_setErrorLine("cannot read " + stray);
  const std::string error = painted();

  for (const std::string& line : {status, error}) {
    EXPECT_TRUE(line.ends_with("\uFFFD\uFFFD...")) << line;
    EXPECT_LE(headlessWidth(line), lineRoom) << line;
    EXPECT_GT(headlessWidth(line) + headlessWidth("\uFFFD"), lineRoom) << "as many of them as fit: " << line;
  }
  EXPECT_THAT(error, testing::StartsWith("cannot read \uFFFD"));
}

TEST_F(StatusLine, WhileStoppingLinesAreShownButNotLogged) {
  openMainWindow();
  stopRequested = true;
  gf_setStatusLine("Exiting ...", true);
  EXPECT_EQ(gf_statusText(), "Exiting ...");
  gf_setErrorLine("late failure");
  EXPECT_EQ(gf_errorText(), "late failure");
  EXPECT_EQ(logBody(), "");
}

TEST_F(StatusLine, LinesSetOnOtherThreadsReachTheBandWhole) {
  openMainWindow();
  const std::vector<std::string> texts{"Scanning liveries in folder one of many ...", "Reading airports ...",
                                       "No traffic in this region?"};
  std::atomic<bool> done{false};
  std::vector<std::thread> reporters;
  for (const auto& text : texts) {
    reporters.emplace_back([&done, &text] {
      while (!done) {
        gf_setStatusLine(text, false);
      }
    });
  }
  for (int paint = 0; paint < 100; ++paint) {
    const auto shown = textAt(paintAll(), 3, 455);
    if (shown) {
      ASSERT_THAT(shown->text, testing::AnyOfArray(texts));
    }
  }
  done = true;
  for (auto& reporter : reporters) {
    reporter.join();
  }
  gf_setStatusLine("last", false);
  ui::pumpMessages();
  EXPECT_EQ(textAt(ui::paintRecords(mainWindow.hwnd).back().calls, 3, 455)->text, "last");
}

TEST_F(StatusLine, WithoutAVisibleWindowEachNewLineIsWrittenOnceToStandardOutput) {
  openMainWindow();
  testing::internal::CaptureStdout();
  gf_setStatusLine("Reading dbase ...", true);
  gf_setStatusLine("Reading dbase ...", true);
  gf_clearStatusLine();
  gf_setErrorLine("lost");
  gf_setStatusLine("dropped", false);
  const std::string written = testing::internal::GetCapturedStdout();

  EXPECT_EQ(written, "Reading dbase ...\nError lost\n");
}

}  // namespace
}  // namespace cvl::test
