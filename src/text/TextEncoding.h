#pragma once

#include "text/Cp932.h"
#include "text/LineEnds.h"
#include "text/ReadCodes.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace text {

// The encodings a diary is read and written in.
enum class Encoding { ShiftJis, EucJp, Utf8 };

// An encoding as a file holds it: UTF-8 may begin with a byte order mark; the lines end alike.
struct FileEncoding {
    Encoding encoding = Encoding::ShiftJis;
    bool byteOrderMark = false;
    LineEnd lineEnd = LineEnd::CrLf;
    friend bool operator==(const FileEncoding&, const FileEncoding&) = default;
};

// The name shown to the writer: "Shift-JIS", "EUC-JP", "UTF-8", "UTF-8 (BOM付き)".
QString encodingName(FileEncoding encoding);
// The encoding's name with its line ends, as the diary tab shows them: "EUC-JP・LF".
QString fileFormatName(FileEncoding encoding);
// The name a meta charset declaration gives: "Shift_JIS", "EUC-JP", "UTF-8".
QString charsetLabel(Encoding encoding);

// The editor's text of a file's bytes in the encoding, without the byte order mark when the
// encoding has one and the bytes begin with it. Never loses a byte (see decodeCp932). With
// `codes`, notes the characters a save needs their read codes for (ReadCode).
QString decodeToEditor(QByteArrayView bytes, FileEncoding encoding, ReadCodes* codes = nullptr);
// The bytes of an editor's text in the encoding, a byte order mark first when it has one, the
// line breaks written as its line ends; the characters of `codes` as they were read.
Encoded encodeFromEditor(QStringView editorText, FileEncoding encoding, CodesRead codes = {});

// True when every byte is part of a character of the encoding: decoding escapes none.
bool isValidIn(QByteArrayView bytes, Encoding encoding);

} // namespace text
