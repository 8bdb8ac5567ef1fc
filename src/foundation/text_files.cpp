#include "foundation/text_files.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <stdexcept>

#include "app/status_line.h"
#include "foundation/text_encoding.h"

namespace cvl {
namespace {

constexpr std::string_view lf_utf8Mark = "\xEF\xBB\xBF";

std::optional<Charset> lf_charsetByLeadingBytes(std::string_view bytes) {
  const std::size_t n = std::min<std::size_t>(bytes.size(), 4);
  const auto b = [bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (n >= 3 && bytes.starts_with(lf_utf8Mark)) {
    return Charset::utf8WithBom;
  }
  if (n < 2) {
    return std::nullopt;
  }
  if (b(0) == 0xFF && b(1) == 0xFE) {
    return Charset::unicode;
  }
  if (b(1) == 0 && (n < 4 || b(3) == 0)) {
    return Charset::unicode;
  }
  if (b(0) == 0xFE && b(1) == 0xFF) {
    return Charset::unicodeBigEndian;
  }
  if (b(0) == 0 && (n < 4 || b(2) == 0)) {
    return Charset::unicodeBigEndian;
  }
  return std::nullopt;
}

// For the texts of read failures: a path whose bytes are not UTF-8 is shown byte by byte rather than refused.
std::string lf_pathText(const std::filesystem::path& path) {
  try {
    return gf_pathToUtf8(path);
  } catch (const std::runtime_error&) {
    return gf_ansiToUtf8(path.native());
  }
}

bool lf_isKnownCharset(Charset charset) {
  return charset >= Charset::ansi && charset <= Charset::utf8WithoutBom;
}

// Add-on makers edit UTF-8 files in Windows-1252 editors and the other way round, so a file may hold both: each line
// that is UTF-8 stays as it is, any other line is converted. Encoded surrogates count as not UTF-8 here, so that every
// line read takes the strict conversions.
void lf_readAnsiLines(std::istream& stream, std::vector<std::string>& lines) {
  std::vector<std::string> ansiLines;
  ansiLines.reserve(2048);
  gf_readFileToString(stream, ansiLines);
  lines.reserve(lines.size() + ansiLines.size());
  for (auto& line : ansiLines) {
    lines.push_back(gf_isUtf8(line, false) ? std::move(line) : gf_ansiToUtf8(line));
  }
}

void lf_readCharsetLines(Charset charset, std::istream& stream, std::vector<std::string>& lines) {
  switch (charset) {
    case Charset::unicode:
    case Charset::unicodeBigEndian:
      gf_readBinaryFile(stream, lines, charset);
      break;
    case Charset::utf8WithBom:
      gf_readFileToString(stream, lines);
      if (!lines.empty() && lines.front().starts_with(lf_utf8Mark)) {
        lines.front().erase(0, lf_utf8Mark.size());
      }
      break;
    case Charset::utf8WithoutBom:
      gf_readFileToString(stream, lines);
      break;
    case Charset::ansi:
      lf_readAnsiLines(stream, lines);
      break;
    case Charset::noneFound:
      break;
  }
}

// Writes through a temporary file beside the target, so that a failed write never leaves a cut-off file behind.
bool lf_replaceFile(const std::filesystem::path& path, const std::function<void(std::ostream&)>& write) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path temporary = path;
  temporary += fmt::format(".{}.tmp", counter++);
  std::error_code ignored;
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) {
      return false;
    }
    write(file);
    file.close();
    if (!file) {
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code renameError;
  std::filesystem::rename(temporary, path, renameError);
  if (renameError) {
    std::filesystem::remove(temporary, ignored);
    return false;
  }
  return true;
}

}  // namespace

const std::string& gf_charsetName(Charset charset) {
  static const std::map<Charset, std::string> names = {
      {Charset::ansi, "ANSI"},
      {Charset::unicode, "Unicode"},
      {Charset::unicodeBigEndian, "Unicode_big_endian"},
      {Charset::utf8WithBom, "UTF8_with_BOM"},
      {Charset::utf8WithoutBom, "UTF8_without_BOM"},
      {Charset::noneFound, "none_found"},
  };
  const auto found = names.find(charset);
  if (found == names.end()) {
    throw std::out_of_range("invalid map<K, T> key");
  }
  return found->second;
}

Charset gf_detectCharset(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return Charset::noneFound;
  }
  std::string bytes(4, '\0');
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  if (file.bad()) {
    return Charset::noneFound;  // opened but not readable, such as a folder
  }
  if (const auto charset = lf_charsetByLeadingBytes(bytes)) {
    return *charset;
  }
  // The whole file: add-on makers write plain ASCII headers above names such as "A\xE9rospatiale".
  std::array<char, 4096> chunk{};
  while (file.read(chunk.data(), chunk.size()) || file.gcount() > 0) {
    bytes.append(chunk.data(), static_cast<std::size_t>(file.gcount()));
  }
  if (file.bad()) {
    return Charset::noneFound;
  }
  return gf_isUtf8(bytes, true) ? Charset::utf8WithoutBom : Charset::ansi;
}

std::vector<std::string>& gf_readLines(TextFile& textFile, std::size_t reserveHint) {
  textFile.lines.clear();
  std::ifstream file(textFile.path, std::ios::binary);
  if (!file) {
    return textFile.lines;
  }
  textFile.lines.reserve(reserveHint);
  try {
    gf_readFileToString(file, textFile.lines);
  } catch (const std::exception&) {
    textFile.lines.clear();  // opened but not readable, such as a folder: as quiet as a missing file
  }
  return textFile.lines;
}

bool gf_readTextFile(Charset charset, const std::filesystem::path& path, std::vector<std::string>& lines) {
  lines.clear();
  try {
    if (!lf_isKnownCharset(charset)) {
      throw std::runtime_error(
          fmt::format("file {} has unknown charset: {}", lf_pathText(path), gf_charsetName(charset)));
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
      return false;
    }
    lf_readCharsetLines(charset, file, lines);
    return true;
  } catch (const std::exception& failure) {
    lines.clear();
    gf_setStatusLine(fmt::format("Read failed for '{}': {}", lf_pathText(path), failure.what()), true);
    return false;
  }
}

void gf_readFileToString(std::istream& stream, std::vector<std::string>& lines) {
  const std::string content{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
  if (content.empty()) {
    stream.clear();
    stream.seekg(0);
    return;
  }
  lf_splitLines(content, lines);
}

void gf_readBinaryFile(std::istream& stream, std::vector<std::string>& lines, Charset orderWithoutMark) {
  stream.seekg(0, std::ios::end);
  const std::streamoff size = stream.tellg();
  stream.clear();
  stream.seekg(0);
  if (size < 2) {
    return;
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  stream.read(bytes.data(), size);
  bytes.resize(static_cast<std::size_t>(stream.gcount()));

  std::string_view units = bytes;
  bool bigEndian = orderWithoutMark == Charset::unicodeBigEndian;
  if (units.starts_with("\xFF\xFE")) {
    bigEndian = false;
    units.remove_prefix(2);
  } else if (units.starts_with("\xFE\xFF")) {
    bigEndian = true;
    units.remove_prefix(2);
  }
  if (units.size() % 2 != 0) {
    throw std::runtime_error("UTF-16 text with an odd number of bytes");
  }
  std::u16string wide(units.size() / 2, u'\0');
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const auto first = static_cast<unsigned char>(units[2 * i]);
    const auto second = static_cast<unsigned char>(units[2 * i + 1]);
    wide[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  lf_splitLines(wide_to_utf8(wide), lines);
}

void lf_splitLines(std::string_view text, std::vector<std::string>& lines) {
  if (text.starts_with(lf_utf8Mark)) {
    text.remove_prefix(lf_utf8Mark.size());
  }
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    lines.emplace_back(line);
    if (end == std::string_view::npos) {
      break;
    }
    text.remove_prefix(end + 1);
  }
}

bool gf_writeTextFile(std::string_view text, const std::filesystem::path& path, bool addNewline) {
  return lf_replaceFile(path, [&](std::ostream& out) {
    out << text;
    if (addNewline) {
      out << '\n';
    }
  });
}

bool gf_writeLines(const std::vector<std::string>& lines, const std::filesystem::path& path) {
  return lf_replaceFile(path, [&](std::ostream& out) {
    for (const auto& line : lines) {
      out << line << '\n';
    }
  });
}

}  // namespace cvl
