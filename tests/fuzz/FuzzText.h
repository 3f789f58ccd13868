#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>

#include <iterator>

namespace fuzz {

// A UTF-16 text drawn from the fuzzer's bytes. Most bytes pick a unit from `alphabet`, the
// characters the code under test treats specially, so that mutations meet them often; a byte
// of 0xF0 or above takes the next two bytes as any unit at all (lone surrogates included).
template <std::size_t N>
QString takeText(FuzzedDataProvider& data, std::size_t maxUnits, const char16_t (&alphabet)[N])
{
    QString text;
    while (std::size_t(text.size()) < maxUnits && data.remaining_bytes() > 0) {
        const auto pick = data.ConsumeIntegral<unsigned char>();
        if (pick >= 0xF0)
            text += QChar(data.ConsumeIntegral<char16_t>());
        else
            text += QChar(alphabet[pick % N]);
    }
    return text;
}

} // namespace fuzz
