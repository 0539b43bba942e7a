#include <gtest/gtest.h>

#include "util/TextEncoding.h"

TEST(TextEncoding, Utf16RoundTripIncludingSurrogatePairs) {
  std::string text = "Ä – 𝄞 plain";
  std::u16string units = Utf8ToUtf16(text);
  EXPECT_EQ(units.size(), 12u);  // the clef takes two code units
  EXPECT_EQ(Utf16ToUtf8(units), text);
}

TEST(TextEncoding, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToUtf16(std::string("a\xC3", 2)), u"a\uFFFD");            // cut sequence
  EXPECT_EQ(Utf8ToUtf16(std::string("\xC0\xAF", 2)), u"\uFFFD\uFFFD");    // overlong
  EXPECT_EQ(Utf8ToUtf16(std::string("\xED\xA0\x80", 3)).front(), u'\uFFFD');  // surrogate
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(TextEncoding, CutNeverSplitsACharacter) {
  std::string text = std::string(254, 'x') + "é";  // 256 bytes, é straddles byte 255
  EXPECT_EQ(CutUtf8(text, 255), std::string(254, 'x'));
  EXPECT_EQ(CutUtf8(text, 256), text);
  EXPECT_EQ(CutUtf8("𝄞", 3), "");
  EXPECT_EQ(CutUtf8("abc", 2), "ab");
}
