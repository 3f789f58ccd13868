#pragma once

#include <QString>
#include <QStringView>

namespace text {

// Editors keep lines apart with LF (a plain text editor's raw text uses U+2029); the rest of
// the program speaks CR LF. These two are the only crossing between the two.
QString toEditorText(QStringView crlfText);
QString fromEditorText(QStringView editorText);

} // namespace text
