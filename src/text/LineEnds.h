#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace text {

// The line ends of a file: CR LF (Windows), LF (Linux and most other tools), CR (old Macs).
enum class LineEnd { CrLf, Lf, Cr };

// The line end every line end of the bytes is; CR LF when they have none or more than one kind.
LineEnd lineEndOf(QByteArrayView bytes);
// "CR LF", "LF" or "CR".
QString lineEndName(LineEnd lineEnd);
// A CR LF text with each CR LF written as lineEnd.
QString withLineEnd(const QString& crlfText, LineEnd lineEnd);

// Editors keep lines apart with LF (a plain text editor's raw text uses U+2029); the rest of
// the program speaks CR LF. These two cross between the two for texts in memory; a diary file
// crosses inside the codec, in the same pass as its decoding or encoding (Cp932.h).
QString toEditorText(QStringView crlfText);
QString fromEditorText(QStringView editorText);

} // namespace text
