#pragma once

#include "platform/KeyStore.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// The text of a settings file in the INI format of QSettings, held line by line, so that setting
// some values changes their lines and nothing else: other keys, other sections, comments and
// blank lines keep their bytes, and so do the line ends (LF, CR LF or CR) and a UTF-8 byte order
// mark.
//
// The values read and set here are those of section [General] (any case of the name, and the
// lines before the first section), under keys encoded as QSettings encodes them. A key that
// occurs more than once has the value of its last line, as with QSettings. Blanks around the '='
// and at the line end are not part of a value.
//
// A value in the quoted, escaped form the program writes reads as its text. Any other value is
// the text after the '=' as it stands, a backslash being a backslash: a hand-added
// <DIV STYLE="margin-left:20pt;">, a,b, C:\new\a.htm or /x/a;b.htm reads whole. A bare value in
// the form QSettings writes its typed values ("@@" for a leading '@', "@ByteArray(...)") reads
// as QSettings reads it. A line that is not UTF-8 reads as Shift-JIS. Values never span lines.
//
// Any bytes are a settings file: a line that means nothing here (a zero byte in it, a section
// header without its ']') is kept as it is, like a comment, and the lines after a header that
// cannot be read belong to no section whose values are read or set here.
class IniFile {
public:
    static IniFile parse(QByteArrayView bytes);

    KeyStore::Value value(const QString& name) const;
    // Replaces the line of the value, or adds one at the end of section [General], which is
    // added at the end of the file when there is none. Every text is stored exactly; a line that
    // already reads as the text stays as it is.
    void setValue(const QString& name, const QString& text);
    QByteArray bytes() const;

private:
    struct Line {
        QByteArray text; // without its line end
        QByteArray end;
    };

    void splitLines(QByteArrayView bytes);
    void addGeneralSection();
    void insertLine(qsizetype index, const QByteArray& text);

    QByteArray byteOrderMark_;
    QList<Line> lines_;
    QByteArray lineEnd_ = "\n";            // the file's own, for added lines
    QHash<QString, qsizetype> valueLines_; // the line of each key of [General]
    qsizetype lastGeneralLine_ = -1;       // its last key or header; -1 when there is no section
};
