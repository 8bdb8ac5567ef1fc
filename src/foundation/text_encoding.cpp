#include "foundation/text_encoding.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace cvl {
namespace {

// Editors break a line at either: outside text must not begin a line of its own.
constexpr std::string_view lineSeparator = "\xE2\x80\xA8";
constexpr std::string_view paragraphSeparator = "\xE2\x80\xA9";
// U+FFFD, shown in place of a byte that begins no UTF-8 character.
constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";

// The length of the control character, line separator or paragraph separator the bytes begin with, else 0.
std::size_t lf_uncleanCharLength(std::string_view bytes) {
  if (const std::size_t control = gf_controlCharLength(bytes); control > 0) {
    return control;
  }
  return bytes.starts_with(lineSeparator) || bytes.starts_with(paragraphSeparator) ? lineSeparator.size() : 0;
}

// Windows-1252 from 0x80 to 0x9F; every other byte is the Latin-1 character of the same number.
constexpr std::array<char16_t, 32> lf_cp1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool lf_isHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool lf_isLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

void lf_appendUtf8(std::string& out, char32_t codePoint) {
  const auto byte = [&out](char32_t value) { out.push_back(static_cast<char>(value)); };
  if (codePoint < 0x80) {
    byte(codePoint);
  } else if (codePoint < 0x800) {
    byte(0xC0 | (codePoint >> 6));
    byte(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    byte(0xE0 | (codePoint >> 12));
    byte(0x80 | ((codePoint >> 6) & 0x3F));
    byte(0x80 | (codePoint & 0x3F));
  } else {
    byte(0xF0 | (codePoint >> 18));
    byte(0x80 | ((codePoint >> 12) & 0x3F));
    byte(0x80 | ((codePoint >> 6) & 0x3F));
    byte(0x80 | (codePoint & 0x3F));
  }
}

void lf_appendUtf16(std::u16string& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out.push_back(static_cast<char16_t>(codePoint));
    return;
  }
  const char32_t offset = codePoint - 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
}

// The code point of a sequence that gf_utf8SequenceLength has accepted.
char32_t lf_decodeUtf8(std::string_view sequence) {
  constexpr std::array<unsigned, 5> leadMask = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t codePoint = static_cast<unsigned char>(sequence[0]) & leadMask[sequence.size()];
  for (std::size_t i = 1; i < sequence.size(); ++i) {
    codePoint = (codePoint << 6) | (static_cast<unsigned char>(sequence[i]) & 0x3F);
  }
  return codePoint;
}

}  // namespace

std::size_t gf_utf8SequenceLength(std::string_view bytes, bool acceptSurrogates) {
  if (bytes.empty()) {
    return 0;
  }
  const auto lead = static_cast<unsigned char>(bytes[0]);
  if (lead < 0x80) {
    return 1;
  }
  std::size_t length = 0;
  unsigned char secondLow = 0x80;
  unsigned char secondHigh = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) {
      secondLow = 0xA0;  // overlong below U+0800
    } else if (lead == 0xED && !acceptSurrogates) {
      secondHigh = 0x9F;  // U+D800..U+DFFF
    }
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) {
      secondLow = 0x90;  // overlong below U+10000
    } else if (lead == 0xF4) {
      secondHigh = 0x8F;  // beyond U+10FFFF
    }
  } else {
    return 0;  // a stray continuation byte, C0, C1 or F5..FF
  }
  if (bytes.size() < length) {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const unsigned char low = i == 1 ? secondLow : 0x80;
    const unsigned char high = i == 1 ? secondHigh : 0xBF;
    if (byte < low || byte > high) {
      return 0;
    }
  }
  return length;
}

bool gf_isUtf8(std::string_view bytes, bool acceptSurrogates) {
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = gf_utf8SequenceLength(bytes.substr(i), acceptSurrogates);
    if (length == 0) {
      return false;
    }
    i += length;
  }
  return true;
}

std::size_t gf_controlCharLength(std::string_view bytes) {
  if (bytes.empty()) {
    return 0;
  }
  const auto first = static_cast<unsigned char>(bytes[0]);
  if (first < 0x20 || first == 0x7F) {
    return 1;
  }
  const bool latin1Control = first == 0xC2 && bytes.size() >= 2 && static_cast<unsigned char>(bytes[1]) >= 0x80 &&
                             static_cast<unsigned char>(bytes[1]) <= 0x9F;
  return latin1Control ? 2 : 0;
}

bool gf_isCleanText(std::string_view text) {
  if (!gf_isUtf8(text, false)) {
    return false;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (lf_uncleanCharLength(text.substr(i)) > 0) {
      return false;
    }
  }
  return true;
}

std::string gf_onOneLine(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (const std::size_t unclean = lf_uncleanCharLength(text.substr(i)); unclean > 0) {
      line += ' ';
      i += unclean;
    } else {
      line += text[i];
      ++i;
    }
  }
  return line;
}

std::string gf_validUtf8(std::string_view text) {
  std::string valid;
  valid.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = gf_utf8SequenceLength(text.substr(i), false);
    if (length == 0) {
      valid += replacementCharacter;
      ++i;
    } else {
      valid += text.substr(i, length);
      i += length;
    }
  }
  return valid;
}

std::u16string utf8_to_wide(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = gf_utf8SequenceLength(text.substr(i), false);
    if (length == 0) {
      throw std::runtime_error("utf8_to_wide: invalid UTF-8");
    }
    lf_appendUtf16(wide, lf_decodeUtf8(text.substr(i, length)));
    i += length;
  }
  return wide;
}

std::string wide_to_utf8(std::u16string_view text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t codePoint = text[i];
    if (lf_isHighSurrogate(codePoint) && i + 1 < text.size() && lf_isLowSurrogate(text[i + 1])) {
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (lf_isHighSurrogate(codePoint) || lf_isLowSurrogate(codePoint)) {
      throw std::runtime_error("wide_to_utf8: invalid UTF-16");
    }
    lf_appendUtf8(utf8, codePoint);
  }
  return utf8;
}

std::string gf_pathToUtf8(const std::filesystem::path& path) {
  return wide_to_utf8(utf8_to_wide(path.native()));
}

std::string gf_ansiToUtf8(std::string_view text) {
  std::string utf8;
  utf8.reserve(text.size() + text.size() / 2);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool inTable = byte >= 0x80 && byte < 0xA0;
    lf_appendUtf8(utf8, inTable ? lf_cp1252High[byte - 0x80] : char32_t{byte});
  }
  return utf8;
}

}  // namespace cvl
