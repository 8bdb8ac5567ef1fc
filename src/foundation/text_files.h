#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

// Whole text files as lists of UTF-8 lines: the encoding of files from the simulator and add-on packages, their
// readers, and the writers of the program's own text files. Lines end at a line feed; one carriage return before it
// is dropped. Every file is opened in binary mode.
namespace cvl {

enum class Charset : std::int32_t {
  ansi = 0,              // bytes above 127 that are not UTF-8: lines in the ANSI code page, maybe beside UTF-8 ones
  unicode = 1,           // UTF-16 little-endian, with or without byte-order mark
  unicodeBigEndian = 2,  // UTF-16 big-endian, with or without byte-order mark
  utf8WithBom = 3,
  utf8WithoutBom = 4,  // plain ASCII and empty files too
  noneFound = 5,       // the file could not be opened
};

// "ANSI", "Unicode", "Unicode_big_endian", "UTF8_with_BOM", "UTF8_without_BOM", "none_found"; throws
// std::out_of_range "invalid map<K, T> key" for any other value.
const std::string& gf_charsetName(Charset charset);

// By byte-order mark or by the zero bytes of UTF-16 text among the first four bytes (the rest is not read), else by
// a strict UTF-8 check of the whole file: one byte that is not UTF-8 anywhere makes it ANSI.
Charset gf_detectCharset(const std::filesystem::path& path);

// A file's path and its lines, filled by gf_readLines.
struct TextFile {
  std::filesystem::path path;
  std::vector<std::string> lines;
};

// Replaces the holder's lines by the file's lines as they are (no conversion). A missing file gives no lines.
std::vector<std::string>& gf_readLines(TextFile& textFile, std::size_t reserveHint);

// Replaces lines by the file's lines converted from charset to UTF-8; in an ANSI file a line that is UTF-8 already is
// kept as it is. False, with the list empty, when the file cannot be opened; false, after a "Read failed" status line,
// when it cannot be read or converted.
bool gf_readTextFile(Charset charset, const std::filesystem::path& path, std::vector<std::string>& lines);

// Appends the lines of the rest of the stream. An empty stream is cleared and rewound.
void gf_readFileToString(std::istream& stream, std::vector<std::string>& lines);

// Appends the lines of a whole UTF-16 stream. A byte-order mark decides the byte order; without one,
// orderWithoutMark (unicode or unicodeBigEndian) does. Throws std::runtime_error for an odd number of bytes or an
// unpaired surrogate.
void gf_readBinaryFile(std::istream& stream, std::vector<std::string>& lines, Charset orderWithoutMark);

// Appends the lines of text: a leading UTF-8 byte-order mark is dropped, a final line feed ends the last line.
void lf_splitLines(std::string_view text, std::vector<std::string>& lines);

// The writers replace the file whole (through a temporary file beside it) and return false when it cannot be written.
bool gf_writeTextFile(std::string_view text, const std::filesystem::path& path, bool addNewline);
bool gf_writeLines(const std::vector<std::string>& lines, const std::filesystem::path& path);

}  // namespace cvl
