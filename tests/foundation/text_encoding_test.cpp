#include "foundation/text_encoding.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace cvl {
namespace {

TEST(TextEncoding, RoundTripsEveryPlane) {
  const std::string text = "Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9D\x84\x9E";  // Zürich € 𝄞
  const std::u16string wide = utf8_to_wide(text);
  EXPECT_EQ(wide, u"Z\u00FCrich \u20AC \U0001D11E");
  EXPECT_EQ(wide_to_utf8(wide), text);
  EXPECT_EQ(utf8_to_wide(""), u"");
  EXPECT_EQ(wide_to_utf8(u""), "");
}

TEST(TextEncoding, Utf8ToWideRefusesMalformedSequences) {
  for (const std::string bad : {"\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                "\xF5\x80\x80\x80", "\x80", "a\xE2\x82", "\xE2\x28\xA1"}) {
    try {
      utf8_to_wide(bad);
      ADD_FAILURE() << "accepted " << testing::PrintToString(bad);
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "utf8_to_wide: invalid UTF-8");
    }
  }
}

TEST(TextEncoding, WideToUtf8RefusesUnpairedSurrogates) {
  for (const std::u16string& bad : {std::u16string{u'a', char16_t{0xD800}}, std::u16string{char16_t{0xDC00}, u'a'},
                                    std::u16string{char16_t{0xD800}, u'b'}}) {
    try {
      wide_to_utf8(bad);
      ADD_FAILURE() << "accepted an unpaired surrogate";
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "wide_to_utf8: invalid UTF-16");
    }
  }
}

TEST(TextEncoding, AnsiIsWindows1252) {
  EXPECT_EQ(gf_ansiToUtf8("Caf\xE9"), "Caf\xC3\xA9");
  EXPECT_EQ(gf_ansiToUtf8("\x80\x8A\x9F"), "\xE2\x82\xAC\xC5\xA0\xC5\xB8");  // € Š Ÿ
  EXPECT_EQ(gf_ansiToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
  EXPECT_EQ(gf_ansiToUtf8("plain"), "plain");
  EXPECT_EQ(gf_ansiToUtf8(""), "");
}

TEST(TextEncoding, PathsAreUtf8OrRefused) {
  EXPECT_EQ(gf_pathToUtf8(std::filesystem::path("airports") / "Z\xC3\xBCrich.xml"), "airports/Z\xC3\xBCrich.xml");
  EXPECT_THROW(gf_pathToUtf8(std::filesystem::path("Caf\xE9.txt")), std::runtime_error);
}

}  // namespace
}  // namespace cvl
