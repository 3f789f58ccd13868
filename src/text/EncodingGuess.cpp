#include "text/EncodingGuess.h"

#include <algorithm>

namespace text {

namespace {

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// The length of the UTF-8 sequence at i, or 0 when it is not valid there: no overlong forms,
// no surrogates, nothing above U+10FFFF.
qsizetype utf8Length(QByteArrayView bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char b = at(i);
    if (b < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        low = b == 0xE0 ? 0xA0 : 0x80;
        high = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        low = b == 0xF0 ? 0x90 : 0x80;
        high = b == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > bytes.size() || at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (qsizetype k = i + 2; k < i + length; ++k) {
        if (!isContinuation(at(k)))
            return 0;
    }
    return length;
}

bool isWellFormedShiftJis(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF))
            continue;
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if (!lead || i + 1 == bytes.size())
            return false;
        const auto trail = static_cast<unsigned char>(bytes[++i]);
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC)
            return false;
    }
    return true;
}

} // namespace

bool looksLikeUtf8(QByteArrayView bytes)
{
    qsizetype longest = 1;
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = utf8Length(bytes, i);
        if (length == 0)
            return false;
        longest = std::max(longest, length);
        i += length;
    }
    return longest >= 3 || (longest == 2 && !isWellFormedShiftJis(bytes));
}

} // namespace text
