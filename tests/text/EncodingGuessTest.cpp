#include "text/EncodingGuess.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace {

TEST(EncodingGuess, Utf8IsToldFromShiftJis)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        bool utf8;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"ASCII only", "<html>\r\n<p>diary</p>\r\n", false},
        {"UTF-8 kanji", "<p>\xe6\x97\xa5\xe8\xa8\x98</p>", true},
        {"UTF-8 kana that also reads as Shift-JIS pairs", "\xe3\x81\x82\xe3\x81\x84", true},
        {"byte-order mark", "\xef\xbb\xbf<p>", true},
        {"two-byte UTF-8 that is not Shift-JIS", "A\xc4\x80", true},
        {"Shift-JIS kanji", "<p>\x93\xfa\x8b\x4c</p>", false},
        {"half-width katakana that reads as UTF-8 n-tilde", "\xc3\xb1", false},
        {"UTF-8 cut inside its last character", "\xe6\x97\xa5\xe6\x97", false},
        {"overlong form", "\xc0\xaf", false},
        {"surrogate", "\xed\xa0\x80", false},
        {"above U+10FFFF", "\xf4\x90\x80\x80", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text::looksLikeUtf8(c.bytes), c.utf8) << c.name;
}

} // namespace
