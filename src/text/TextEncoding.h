#pragma once

#include "text/Cp932.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace text {

// The encodings a diary is read and written in.
enum class Encoding { ShiftJis, EucJp, Utf8 };

// An encoding as a file holds it: UTF-8 may begin with a byte order mark.
struct FileEncoding {
    Encoding encoding = Encoding::ShiftJis;
    bool byteOrderMark = false;
    friend bool operator==(const FileEncoding&, const FileEncoding&) = default;
};

// The name shown to the writer: "Shift-JIS", "EUC-JP", "UTF-8", "UTF-8 (BOM付き)".
QString encodingName(FileEncoding encoding);
// The name a meta charset declaration gives: "Shift_JIS", "EUC-JP", "UTF-8".
QString charsetLabel(Encoding encoding);

// The editor's text of a file's bytes in the encoding, without the byte order mark when the
// encoding has one and the bytes begin with it. Never loses a byte (see decodeCp932).
QString decodeToEditor(QByteArrayView bytes, FileEncoding encoding);
// The bytes of an editor's text in the encoding, a byte order mark first when it has one.
Encoded encodeFromEditor(QStringView editorText, FileEncoding encoding);

// True when every byte is part of a character of the encoding: decoding escapes none.
bool isValidIn(QByteArrayView bytes, Encoding encoding);

} // namespace text
