#pragma once

#include <QtGlobal>

#include <cstdint>
#include <vector>

namespace text {

// A character of a decoded text that a save must know more of than its character to write it
// back as it was read: one the file gave with another of its codes than the one its encoding
// writes (髙 read from 0xEEE0 in Shift-JIS, where Windows writes 0xFBFC), or one that another
// encoding writes as a different character (〜 U+301C, which Shift-JIS writes as ～).
// position: its offset in the decoded text; code: as the codec's tables hold it (0 in UTF-8,
// where every character has one code).
struct ReadCode {
    qsizetype position;
    char16_t unit;
    std::uint16_t code;
    bool operator==(const ReadCode&) const = default;
};
// In ascending position.
using ReadCodes = std::vector<ReadCode>;

// The read codes an encoder is given.
struct CodesRead {
    const ReadCodes* codes = nullptr;
    // True: the codes are the encoder's own encoding's, and each such character gets its code
    // back. False: they came from a file in another encoding and only mark which characters were
    // read; one of those that this encoding would write as a different character is written as
    // its numeric character reference instead (and listed as one it cannot hold).
    bool ownEncoding = true;
};

// Moves the codes of a text along an edit that replaced `removed` units at `position` by
// `added` units. A code inside the replaced units stays only when unitAt(offset), the edited
// text's unit at an offset, shows its character still there at the same distance from the start
// or from the end of the edit (a change of formatting reports its range as replaced).
template <typename UnitAt>
void moveReadCodes(ReadCodes& codes, qsizetype position, qsizetype removed, qsizetype added,
                   UnitAt unitAt)
{
    const qsizetype end = position + removed;
    auto out = codes.begin();
    for (ReadCode code : codes) {
        if (code.position >= end) {
            code.position += added - removed;
        } else if (code.position >= position) {
            const qsizetype fromStart = code.position - position;
            const qsizetype fromEnd = end - code.position;
            if (fromStart < added && unitAt(position + fromStart) == code.unit)
                code.position = position + fromStart;
            else if (fromEnd <= added && unitAt(position + added - fromEnd) == code.unit)
                code.position = position + added - fromEnd;
            else
                continue;
        }
        *out++ = code;
    }
    codes.erase(out, codes.end());
}

} // namespace text
