#include "foundation/log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/exit_reasons.h"
#include "foundation/open_log.h"
#include "support/temp_folder.h"
#include "support/unwritable_folders.h"

namespace cvl {
namespace {

using test::OpenLog;
using test::readFile;
using test::ScopedCurrentFolder;
using test::TempFolder;
using test::writeFile;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  EXPECT_EQ(start, text.size()) << "the last line has no line feed";
  return lines;
}

TEST(Log, StartsWithTheHeaderLineAlone) {
  const OpenLog log;
  static const std::regex header(
      R"((Mon|Tue|Wed|Thu|Fri|Sat|Sun) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Okt|Nov|Dec) \d\d \d\d:\d\d:\d\d \d{4} )"
      R"(\(utc\) Corvalen version 11\.10\.3 for MSFS 2020/2024\n)");
  const auto text = log.text();
  EXPECT_TRUE(std::regex_match(text, header)) << text;
}

TEST(Log, DropsTextWhileClosed) {
  gf_closeLog();
  EXPECT_NO_THROW(gf_log("lost"));
  EXPECT_NO_THROW(gf_logFlagged("lost"));
  EXPECT_NO_THROW(gf_flushLog());
  const OpenLog log;
  EXPECT_EQ(log.body(), "");
}

TEST(Log, WritesTheThreeLineShapesUnchanged) {
  const OpenLog log;
  gf_log("");
  gf_logFlagged("");
  gf_logIndented("");
  gf_log("plain");
  gf_logFlagged("failed");
  gf_logIndented("detail");
  gf_logAndFlush("two\nlines");
  gf_log("utf-8 äø");
  EXPECT_EQ(log.body(), "\n==> \n          \nplain\n==> failed\n          detail\ntwo\nlines\nutf-8 äø\n");
}

TEST(Log, FlaggedLinesReachTheFileAtOnce) {
  const OpenLog log;
  gf_log("buffered");
  gf_logFlagged("now");
  const auto unflushed = readFile(log.folder() / "Log.txt");
  EXPECT_EQ(unflushed.substr(unflushed.find('\n') + 1), "buffered\n==> now\n");
}

TEST(Log, KeepsThreeOlderGenerations) {
  TempFolder folder;
  const ScopedCurrentFolder current(folder.path());
  writeFile(folder.path() / "Log.txt", "third run\n");
  writeFile(folder.path() / "Log0.txt", "second run\n");
  writeFile(folder.path() / "Log00.txt", "first run\n");
  writeFile(folder.path() / "Log000.txt", "forgotten\n");
  gf_openLog();
  gf_log("fourth run");
  gf_closeLog();
  EXPECT_EQ(readFile(folder.path() / "Log000.txt"), "first run\n");
  EXPECT_EQ(readFile(folder.path() / "Log00.txt"), "second run\n");
  EXPECT_EQ(readFile(folder.path() / "Log0.txt"), "third run\n");
  const auto lines = linesOf(readFile(folder.path() / "Log.txt"));
  ASSERT_EQ(lines.size(), 2U);
  EXPECT_EQ(lines[1], "fourth run");
}

TEST(Log, MakesOnlyTheGenerationsThereIsSomethingFor) {
  TempFolder folder;
  const ScopedCurrentFolder current(folder.path());
  gf_openLog();
  gf_closeLog();
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "Log0.txt"));
  gf_openLog();
  gf_closeLog();
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "Log0.txt"));
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "Log00.txt"));
}

// Renaming needs no room on the disk: the previous start's log becomes Log0.txt where no copy of it fits, and the
// older ones move up as always.
TEST(Log, OnAFullDiskThePreviousStartsLogIsKept) {
  TempFolder folder;
  const auto disk = folder.path() / "disk";
  std::filesystem::create_directory(disk);
  const test::SmallDisk small{disk, 64 * 1024};
  if (!small.available()) {
    GTEST_SKIP() << "mounting a small disk needs root";
  }
  const ScopedCurrentFolder current(disk);
  const std::string previousStart = std::string(8 * 1024, 'p') + "\n";
  writeFile("Log.txt", previousStart);
  writeFile("Log0.txt", "second run\n");
  writeFile("Log00.txt", "first run\n");
  writeFile("Log000.txt", "forgotten\n");
  std::ofstream("filler", std::ios::binary) << std::string(64 * 1024, 'f');

  gf_openLog();
  gf_log("this run");
  gf_closeLog();

  EXPECT_TRUE(readFile("Log0.txt") == previousStart);
  EXPECT_EQ(readFile("Log00.txt"), "second run\n");
  EXPECT_EQ(readFile("Log000.txt"), "first run\n");
  const auto lines = linesOf(readFile("Log.txt"));
  ASSERT_EQ(lines.size(), 2U);
  EXPECT_EQ(lines[1], "this run");
}

// Where the previous start's log can be neither copied nor moved to Log0.txt, it is not emptied: this start's lines
// follow it.
TEST(Log, APreviousLogThatCannotBeKeptIsWrittenOnNotEmptied) {
  TempFolder folder;
  const ScopedCurrentFolder current(folder.path());
  writeFile("Log.txt", "previous run\n");
  for (const char* generation : {"Log0.txt", "Log00.txt", "Log000.txt"}) {
    std::filesystem::create_directories(std::filesystem::path(generation) / "taken");
  }

  gf_openLog();
  gf_log("this run");
  gf_closeLog();

  const auto lines = linesOf(readFile("Log.txt"));
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[0], "previous run");
  EXPECT_EQ(lines[2], "this run");
}

TEST(Log, OpeningFailsWhenTheFileCannotBeCreated) {
  TempFolder folder;
  const ScopedCurrentFolder current(folder.path());
  std::filesystem::create_directory(folder.path() / "Log.txt");
  try {
    gf_openLog();
    FAIL() << "opened a folder as the log";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Failed to write file Log.txt");
  }
  EXPECT_NO_THROW(gf_log("dropped"));
}

TEST(Log, StopRequestSilencesOnlyTheUnlessClosingWriter) {
  const OpenLog log;
  gf_logUnlessClosing("running");
  stopRequested = true;
  gf_logUnlessClosing("stopping");
  gf_log("still written");
  stopRequested = false;
  closeRequested = true;
  gf_logUnlessClosing("closing");
  closeRequested = false;
  EXPECT_EQ(log.body(), "running\nstill written\n");
}

TEST(Log, LinesOfManyThreadsNeverInterleave) {
  const OpenLog log;
  constexpr int threadCount = 8;
  constexpr int linesPerThread = 400;
  std::set<std::string> expected;
  std::vector<std::thread> threads;
  for (int thread = 0; thread < threadCount; ++thread) {
    const std::string text = std::string(200, static_cast<char>('a' + thread));
    expected.insert(text);
    expected.insert("==> " + text);
    expected.insert("          " + text);
    threads.emplace_back([text] {
      for (int line = 0; line < linesPerThread; ++line) {
        switch (line % 3) {
          case 0:
            gf_log(text);
            break;
          case 1:
            gf_logFlagged(text);
            break;
          default:
            gf_logIndented(text);
            break;
        }
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  const auto lines = linesOf(log.body());
  EXPECT_EQ(lines.size(), static_cast<std::size_t>(threadCount * linesPerThread));
  for (const auto& line : lines) {
    ASSERT_TRUE(expected.contains(line)) << line;
  }
}

}  // namespace
}  // namespace cvl
