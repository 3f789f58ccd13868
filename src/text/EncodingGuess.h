#pragma once

#include <QByteArrayView>

namespace text {

// True for bytes that are UTF-8 rather than Shift-JIS: valid UTF-8 with non-ASCII text, and
// either not well-formed Shift-JIS (a byte no Shift-JIS text holds, or a lead byte without its
// trail byte) or holding a UTF-8 sequence of three or four bytes, as every kana, kanji and
// full-width form has. Text that reads both ways with only two-byte UTF-8 sequences (accented
// Latin letters, which Shift-JIS reads as half-width katakana) counts as Shift-JIS.
bool looksLikeUtf8(QByteArrayView bytes);

} // namespace text
