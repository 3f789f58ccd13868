// Fuzz target for the settings file reader: the file is the writer's, so any bytes may be in it.
//
// Properties, each ending the run with abort() when broken:
// - the bytes read and written back unchanged are the same bytes;
// - setting one value changes nothing outside that value's line (or, for a new value, adds lines
//   between two lines of the file), and the other values read as before;
// - the value set reads back as the text set, also from the written bytes read again.
//
// The first input byte picks the name and the text to set; the rest is the file.

#include "settings/IniFile.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QStringList& names()
{
    static const QStringList list{"HtmlSky6",  "HtmlMain1", "V",         "general",
                                  "名前 with", "a=b;c",     "%41\\x/y",  "LoadLog",
                                  "😀",         "@x",        "[General]", "FirstPageChangeFlag"};
    return list;
}

const QStringList& texts()
{
    static const QStringList list{"",
                                  "C:\\new\\a.htm",
                                  "価格\\1000円",
                                  "\"q\", a;b = c ",
                                  "@ByteArray(x)",
                                  "@@",
                                  "line\r\nnext\n",
                                  QString(QChar(0xD800)) + "F\\x",
                                  QString(QChar(0xFEFF)) + "\x01\x7f日",
                                  "<p>😀</p>\\"};
    return list;
}

void check(bool holds, const char* property)
{
    if (holds)
        return;
    fprintf(stderr, "broken: %s\n", property);
    abort();
}

bool sameValue(const KeyStore::Value& a, const KeyStore::Value& b)
{
    return a.status == b.status && a.text == b.text;
}

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

// True when `after` differs from `before` only inside one line of `before`, or by bytes put
// between two of its lines (a line end may complete a last line that had none).
bool changedOneLineAtMost(const QByteArray& before, const QByteArray& after)
{
    const qsizetype shorter = qMin(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix
           && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    for (qsizetype i = prefix; i < before.size() - suffix; ++i) {
        if (isLineEnd(before[i]))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t pick = data[0];
    const QByteArray file(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    const IniFile read = IniFile::parse(file);
    check(read.bytes() == file, "bytes read are written back unchanged");

    const QString& name = names()[pick % names().size()];
    const QString& text = texts()[(pick / names().size()) % texts().size()];
    IniFile changed = read;
    changed.setValue(name, text);
    const QByteArray written = changed.bytes();
    check(changedOneLineAtMost(file, written), "one line changed at most");

    const KeyStore::Value expected{KeyStore::Status::Text, text};
    check(sameValue(changed.value(name), expected), "the value set reads back");
    const IniFile reread = IniFile::parse(written);
    check(sameValue(reread.value(name), expected), "the value set reads back from the bytes");
    for (const QString& other : names()) {
        if (other != name)
            check(sameValue(reread.value(other), read.value(other)), "other values unchanged");
    }
    return 0;
}
