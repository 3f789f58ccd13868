#pragma once

namespace text {

// The characters the JIS tables (and Linux input methods) give where Windows' tables have
// another character for the same code: 〜 where Windows has ～, ‖ for ∥, − for －, ¢ £ ¬ ¦ for
// ￠ ￡ ￢ ￤, — for ―, and in a single byte ¥ for \ and ‾ for ~. Shift-JIS and EUC-JP write
// each with its Windows twin's code, which reads back as the twin.
struct JisTwin {
    char16_t jis;
    char16_t windows;
};
inline constexpr JisTwin jisTwins[] = {
    {0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x00A5, 0x005C}, {0x00A6, 0xFFE4}, {0x00AC, 0xFFE2},
    {0x2014, 0x2015}, {0x2016, 0x2225}, {0x203E, 0x007E}, {0x2212, 0xFF0D}, {0x301C, 0xFF5E},
};

// The Windows twin of a JIS character; any other character itself.
constexpr char16_t windowsTwin(char16_t c)
{
    if (c > 0x301C)
        return c;
    for (const JisTwin& twin : jisTwins) {
        if (twin.jis == c)
            return twin.windows;
    }
    return c;
}

} // namespace text
