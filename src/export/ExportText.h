#pragma once

#include "entry/TodayEntry.h"
#include "text/Cp932.h"
#include "text/LineEnds.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace exports {

// The lines of a CR LF text as an editor counts them: a final line break starts no line of its
// own, and an empty text has none.
QStringList textLines(const QString& crlfText);

// The plain-text export: the date line, an empty line, "[title]" when there is a title, then
// the body lines. Every line ends with CR LF, the last one too.
QString BuildTextExport(const TodayEntry& entry);

// The .hnf entry file: "TENKI weather" when there is weather, "OK", an empty line,
// "NEW title", the body lines and "~". Every line ends with CR LF, the last one too.
QString BuildHnfText(const TodayEntry& entry);

// "d", the year padded with zeros to four characters, month and day padded to two (an empty
// month or day adds nothing). Lengths are counted in Shift-JIS bytes.
QString BuildExportFileStem(const QString& year, const QString& month, const QString& day);

// An export text (CR LF) as Shift-JIS bytes, its line ends written as lineEnd. A no-break space
// (pasted from a web page and invisible to the writer) becomes a plain blank, as Windows writes
// it; any other character the page cannot hold is left to the encoder and listed.
text::Encoded encodeExportText(QString text, text::LineEnd lineEnd = text::LineEnd::CrLf);

// The refusal shown when the text export meets characters Shift-JIS cannot hold.
QString unencodableTextRefusal(const QList<char32_t>& characters);

} // namespace exports
