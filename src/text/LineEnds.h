#pragma once

#include <QString>
#include <QStringView>

namespace text {

// Editors keep lines apart with LF (a plain text editor's raw text uses U+2029); the rest of
// the program speaks CR LF. These two cross between the two for texts in memory; a diary file
// crosses inside the codec, in the same pass as its decoding or encoding (Cp932.h).
QString toEditorText(QStringView crlfText);
QString fromEditorText(QStringView editorText);

} // namespace text
