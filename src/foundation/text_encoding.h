#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// Conversions between the program's UTF-8 text and the other encodings it meets: UTF-16 ("wide") text of the
// platform interfaces and of UTF-16 files, and the 8-bit ANSI code page of older add-on files.
namespace cvl {

// Strict: throws std::runtime_error "utf8_to_wide: invalid UTF-8" on a malformed, overlong, cut or surrogate sequence.
std::u16string utf8_to_wide(std::string_view text);

// Strict: throws std::runtime_error "wide_to_utf8: invalid UTF-16" on an unpaired surrogate.
std::string wide_to_utf8(std::u16string_view text);

// The path as UTF-8 text, through its UTF-16 form. Paths are byte strings here, so one whose bytes are not UTF-8 fails
// with the error of utf8_to_wide.
std::string gf_pathToUtf8(const std::filesystem::path& path);

// ANSI (Windows-1252) text to UTF-8. Never fails: every byte has a character, the five bytes the code page leaves
// undefined become the control characters of the same number, as the platform's own conversion does.
std::string gf_ansiToUtf8(std::string_view text);

// The length of the well-formed UTF-8 sequence at the start of bytes, or 0 when it is malformed, overlong, beyond
// U+10FFFF or cut short by the end of bytes. Encoded surrogates (ED A0..BF xx) count only when acceptSurrogates is set.
std::size_t gf_utf8SequenceLength(std::string_view bytes, bool acceptSurrogates);

// Whether bytes are well-formed UTF-8 from start to end, in the sense of gf_utf8SequenceLength.
bool gf_isUtf8(std::string_view bytes, bool acceptSurrogates);

// The length of the control character the bytes begin with: 1 for a byte below 0x20 or 0x7F, 2 for U+0080 to
// U+009F in UTF-8 (terminals act on those as well: a line break, the start of a control sequence), else 0.
std::size_t gf_controlCharLength(std::string_view bytes);

// Well-formed UTF-8 without surrogates, without control characters (in the sense of gf_controlCharLength) and without
// the line and paragraph separators U+2028 and U+2029: text that the strict conversions take and that a window or a
// log line can show as it is.
bool gf_isCleanText(std::string_view text);

// The text with a blank in place of each control character and line or paragraph separator (those gf_isCleanText
// refuses), so that a line of the window shows it on one line, without a glyph for a line break.
std::string gf_onOneLine(std::string_view text);

// The text with U+FFFD in place of each byte that begins no UTF-8 character (in the strict sense of utf8_to_wide), so
// that the strict conversions take it.
std::string gf_validUtf8(std::string_view text);

}  // namespace cvl
