#include "foundation/text_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <future>
#include <stdexcept>
#include <thread>

#include "app/status_line.h"
#include "foundation/open_log.h"
#include "support/temp_folder.h"

namespace cvl {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;
using testing::ElementsAre;
using testing::IsEmpty;

using Lines = std::vector<std::string>;

class TextFiles : public testing::Test {
 protected:
  TextFiles() { gf_clearStatusLine(); }

  std::filesystem::path file(std::string_view bytes) {
    const auto path = folder_.path() / ("file" + std::to_string(count_++) + ".txt");
    writeFile(path, bytes);
    return path;
  }

  Charset detect(std::string_view bytes) { return gf_detectCharset(file(bytes)); }

  Lines read(Charset charset, std::string_view bytes) {
    Lines lines{"left over"};
    EXPECT_TRUE(gf_readTextFile(charset, file(bytes), lines)) << gf_statusText();
    return lines;
  }

  TempFolder folder_;
  int count_ = 0;
};

TEST_F(TextFiles, DetectsByteOrderMarksAndZeroBytes) {
  EXPECT_EQ(detect(""), Charset::utf8WithoutBom);
  EXPECT_EQ(detect("A"), Charset::utf8WithoutBom);
  EXPECT_EQ(detect("\xEF\xBB\xBFSky"), Charset::utf8WithBom);
  EXPECT_EQ(detect("\xFF\xFE"), Charset::unicode);
  EXPECT_EQ(detect(std::string("\xFE\xFF\x00\x41", 4)), Charset::unicodeBigEndian);
  EXPECT_EQ(detect(std::string("\x41\x00\x42\x00", 4)), Charset::unicode);
  EXPECT_EQ(detect(std::string("\x00\x41\x00\x42", 4)), Charset::unicodeBigEndian);
  EXPECT_EQ(detect(std::string("\x41\x00", 2)), Charset::unicode);
  EXPECT_EQ(detect(std::string("\x41\x00\x42\x43", 4)), Charset::utf8WithoutBom);  // one zero byte is not UTF-16
}

TEST_F(TextFiles, ChecksUtf8Strictly) {
  EXPECT_EQ(detect("title=Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9D\x84\x9E"), Charset::utf8WithoutBom);
  EXPECT_EQ(detect("Caf\xE9 au lait"), Charset::ansi);
  EXPECT_EQ(detect("ab\xE0\x80\x80"), Charset::ansi);            // overlong
  EXPECT_EQ(detect("ab\xED\xA0\x80"), Charset::utf8WithoutBom);  // an encoded surrogate passes
  EXPECT_EQ(detect("ab\xF4\x90\x80\x80"), Charset::ansi);        // beyond U+10FFFF
  EXPECT_EQ(detect("ab\xC1\xBF"), Charset::ansi);
  EXPECT_EQ(detect("ab\xBF"), Charset::ansi);       // stray continuation byte
  EXPECT_EQ(detect("abc\xE2\x82"), Charset::ansi);  // cut by the end of the file
}

TEST_F(TextFiles, ChecksTheWholeFile) {
  const std::string window(4095, 'a');
  EXPECT_EQ(detect(window + "\xE2\x82\xAC and more"), Charset::utf8WithoutBom);
  EXPECT_EQ(detect(window + "a\xF0\x9D\x84\x9E"), Charset::utf8WithoutBom);
  EXPECT_EQ(detect(window + "\xE2\x82"), Charset::ansi);
  EXPECT_EQ(detect(window + "\xE2\x82z"), Charset::ansi);
  EXPECT_EQ(detect(window + "a\xFF"), Charset::ansi);
  EXPECT_EQ(detect(window + std::string(100000, 'b') + "\xE9"), Charset::ansi);
}

// A pipe whose writer holds it open until the detection returns: only the first bytes are waited for.
TEST_F(TextFiles, AMarkedFileIsKnownByItsFirstBytes) {
  const auto pipe = folder_.path() / "pipe.txt";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::promise<void> detected;
  std::atomic<bool> writerGaveUp{false};
  std::thread writer([&] {
    std::ofstream out(pipe, std::ios::binary);
    out << std::string("\xFF\xFEt\x00i\x00", 6) << std::flush;
    if (detected.get_future().wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
      writerGaveUp = true;
    }
  });
  EXPECT_EQ(gf_detectCharset(pipe), Charset::unicode);
  EXPECT_FALSE(writerGaveUp) << "the detection waited for the end of the file";
  detected.set_value();
  writer.join();
}

TEST_F(TextFiles, DetectsUnreadableFiles) {
  EXPECT_EQ(gf_detectCharset(folder_.path() / "missing.cfg"), Charset::noneFound);
  EXPECT_EQ(gf_detectCharset(folder_.path()), Charset::noneFound);
}

TEST(CharsetNames, NameEveryCharsetAndRefuseOthers) {
  EXPECT_EQ(gf_charsetName(Charset::ansi), "ANSI");
  EXPECT_EQ(gf_charsetName(Charset::unicode), "Unicode");
  EXPECT_EQ(gf_charsetName(Charset::unicodeBigEndian), "Unicode_big_endian");
  EXPECT_EQ(gf_charsetName(Charset::utf8WithBom), "UTF8_with_BOM");
  EXPECT_EQ(gf_charsetName(Charset::utf8WithoutBom), "UTF8_without_BOM");
  EXPECT_EQ(gf_charsetName(Charset::noneFound), "none_found");
  try {
    gf_charsetName(static_cast<Charset>(6));
    ADD_FAILURE() << "named charset 6";
  } catch (const std::out_of_range& error) {
    EXPECT_STREQ(error.what(), "invalid map<K, T> key");
  }
}

TEST(SplitLines, CutsAtLineFeedsAndDropsOneCarriageReturn) {
  const auto split = [](std::string_view text) {
    Lines lines;
    lf_splitLines(text, lines);
    return lines;
  };
  EXPECT_THAT(split("a\r\n\r\nb\n"), ElementsAre("a", "", "b"));
  EXPECT_THAT(split("a\r\r\n"), ElementsAre("a\r"));
  EXPECT_THAT(split("a\nb"), ElementsAre("a", "b"));
  EXPECT_THAT(split("\n"), ElementsAre(""));
  EXPECT_THAT(split("\xEF\xBB\xBFx\n"), ElementsAre("x"));
  EXPECT_THAT(split(""), IsEmpty());
  EXPECT_THAT(split("\xEF\xBB\xBF"), IsEmpty());

  Lines lines{"kept"};
  lf_splitLines("more", lines);
  EXPECT_THAT(lines, ElementsAre("kept", "more"));
}

TEST_F(TextFiles, ReadsUtf16InEitherOrderWithOrWithoutMark) {
  const std::string littleEndian("\x5A\x00\xFC\x00\x0D\x00\x0A\x00\x3D\xD8\x00\xDE\x0A\x00", 14);  // Zü CRLF 😀 LF
  const std::string bigEndian("\x00\x5A\x00\xFC\x00\x0D\x00\x0A\xD8\x3D\xDE\x00\x00\x0A", 14);
  const Lines expected{"Z\xC3\xBC", "\xF0\x9F\x98\x80"};
  EXPECT_EQ(read(Charset::unicode, "\xFF\xFE" + littleEndian), expected);
  EXPECT_EQ(read(Charset::unicodeBigEndian, "\xFE\xFF" + bigEndian), expected);
  EXPECT_EQ(read(Charset::unicode, littleEndian), expected);
  EXPECT_EQ(read(Charset::unicodeBigEndian, bigEndian), expected);
  EXPECT_EQ(read(Charset::unicode, "\xFE\xFF" + bigEndian), expected);  // the mark wins
  EXPECT_THAT(read(Charset::unicode, "\xFF\xFE"), IsEmpty());
}

TEST_F(TextFiles, DetectedUtf16WithoutMarkReadsAsText) {
  const auto path =
      file(std::string("t\x00i\x00t\x00l\x00"
                       "e\x00\n\x00",
                       12));
  const Charset charset = gf_detectCharset(path);
  Lines lines;
  EXPECT_TRUE(gf_readTextFile(charset, path, lines));
  EXPECT_THAT(lines, ElementsAre("title"));
}

// The status line shows as much of a report as the window's width does; Log.txt has it whole.
TEST_F(TextFiles, ReportsBrokenUtf16) {
  const test::OpenLog log;
  Lines lines;
  EXPECT_FALSE(gf_readTextFile(Charset::unicode, file(std::string("\xFF\xFE\x41\x00\x00\xD8", 6)), lines));
  EXPECT_THAT(lines, IsEmpty());
  EXPECT_THAT(log.body(), testing::EndsWith(".txt': wide_to_utf8: invalid UTF-16\n"));

  EXPECT_FALSE(gf_readTextFile(Charset::unicode, file(std::string("\xFF\xFE\x41\x00\x42", 5)), lines));
  EXPECT_THAT(gf_statusText(), testing::StartsWith("Read failed for '"));
}

TEST_F(TextFiles, ReadsUtf8AndAnsi) {
  EXPECT_THAT(read(Charset::utf8WithBom, "\xEF\xBB\xBF\xEF\xBB\xBFone\r\ntwo"), ElementsAre("one", "two"));
  EXPECT_THAT(read(Charset::utf8WithoutBom, "Z\xC3\xBCrich\n\n"), ElementsAre("Z\xC3\xBCrich", ""));
  EXPECT_THAT(read(Charset::utf8WithoutBom, ""), IsEmpty());
  EXPECT_THAT(read(Charset::ansi, "Caf\xE9\r\n\x80 5"), ElementsAre("Caf\xC3\xA9", "\xE2\x82\xAC 5"));
  // A file mixing both: each line in its own encoding.
  EXPECT_THAT(read(Charset::ansi, "Z\xC3\xBCrich\nCaf\xE9\n\xC3\xA9t\xE9\n\xED\xA0\x80"),
              ElementsAre("Z\xC3\xBCrich", "Caf\xC3\xA9", "\xC3\x83\xC2\xA9t\xC3\xA9", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"));
}

TEST_F(TextFiles, MissingFileIsQuietlyFalse) {
  Lines lines{"left over"};
  EXPECT_FALSE(gf_readTextFile(Charset::utf8WithoutBom, folder_.path() / "missing.cfg", lines));
  EXPECT_THAT(lines, IsEmpty());
  EXPECT_EQ(gf_statusText(), "");
}

TEST_F(TextFiles, UnknownCharsetIsReported) {
  const test::OpenLog log;
  const auto path = file("text");
  Lines lines;
  EXPECT_FALSE(gf_readTextFile(Charset::noneFound, path, lines));
  EXPECT_EQ(log.body(),
            "Read failed for '" + path.string() + "': file " + path.string() + " has unknown charset: none_found\n");
  EXPECT_THAT(gf_statusText(), testing::StartsWith("Read failed for '" + path.string() + "'"));
}

TEST_F(TextFiles, ReadLinesKeepsBytesAndIgnoresMissingFiles) {
  TextFile textFile{file("Caf\xE9\r\nline 2\n"), {"old"}};
  EXPECT_THAT(gf_readLines(textFile, 32), ElementsAre("Caf\xE9", "line 2"));
  EXPECT_THAT(textFile.lines, ElementsAre("Caf\xE9", "line 2"));

  TextFile missing{folder_.path() / "missing.txt", {"old"}};
  EXPECT_THAT(gf_readLines(missing, 1), IsEmpty());
  TextFile folder{folder_.path(), {"old"}};
  EXPECT_THAT(gf_readLines(folder, 1), IsEmpty());
}

TEST_F(TextFiles, WritersReplaceTheFileWhole) {
  const auto path = file("an older and much longer text");
  EXPECT_TRUE(gf_writeTextFile("no line end", path, false));
  EXPECT_EQ(readFile(path), "no line end");
  EXPECT_TRUE(gf_writeTextFile("line end", path, true));
  EXPECT_EQ(readFile(path), "line end\n");
  EXPECT_TRUE(gf_writeLines({"a", "", "b"}, path));
  EXPECT_EQ(readFile(path), "a\n\nb\n");
  EXPECT_TRUE(gf_writeLines({}, path));
  EXPECT_EQ(readFile(path), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 1);  // no temporary file left
}

TEST_F(TextFiles, WritersReportFilesTheyCannotWrite) {
  EXPECT_FALSE(gf_writeTextFile("x", folder_.path() / "missing" / "a.txt", true));
  EXPECT_FALSE(gf_writeLines({"x"}, folder_.path() / "missing" / "a.txt"));
  const auto folder = folder_.path() / "folder";
  std::filesystem::create_directory(folder);
  std::filesystem::create_directory(folder / "inside");
  EXPECT_FALSE(gf_writeTextFile("x", folder, false));
  EXPECT_TRUE(std::filesystem::is_directory(folder / "inside"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 1);
}

}  // namespace
}  // namespace cvl
