#include "settings/IniFile.h"

#include "text/Cp932.h"

#include <QStringDecoder>
#include <QStringView>

#include <array>

namespace {

using Status = KeyStore::Status;

const char hexDigits[] = "0123456789ABCDEF";

bool isHexDigit(char16_t u)
{
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A key as QSettings writes it: plain letters, digits and "_-." as they are, every other
// character as %XX, or %UXXXX beyond Latin-1.
void appendKey(QByteArray& out, const QString& key)
{
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_'
            || u == '-' || u == '.') {
            out += char(u);
        } else if (u <= 0xFF) {
            out += '%';
            out += hexDigits[u >> 4];
            out += hexDigits[u & 0xF];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += hexDigits[(u >> shift) & 0xF];
        }
    }
}

// A key as QSettings reads it: %XX and %UXXXX stand for the character of that code, a
// backslash for '/', anything else for itself.
QString keyName(const QString& encoded)
{
    QString name;
    qsizetype i = 0;
    while (i < encoded.size()) {
        if (encoded[i] == u'\\') {
            name += u'/';
            ++i;
            continue;
        }
        if (encoded[i] == u'%' && i + 1 < encoded.size()) {
            const qsizetype first = encoded[i + 1] == u'U' ? i + 2 : i + 1;
            const qsizetype digits = encoded[i + 1] == u'U' ? 4 : 2;
            bool ok = false;
            if (first + digits <= encoded.size()) {
                const ushort code = QStringView(encoded).sliced(first, digits).toUShort(&ok, 16);
                if (ok) {
                    name += QChar(code);
                    i = first + digits;
                    continue;
                }
            }
        }
        name += encoded[i++];
    }
    return name;
}

// UTF-8 as text, a leading U+FEFF included (QString::fromUtf8 drops it, and a value may begin
// with one).
QString fromUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                     | QStringDecoder::Flag::ConvertInitialBom);
    return decoder(bytes);
}

void appendHexEscape(QByteArray& out, char16_t u)
{
    out += "\\x";
    for (int shift = u > 0xFF ? 12 : 4; shift >= 0; shift -= 4)
        out += hexDigits[(u >> shift) & 0xF];
}

// A text value as QSettings reads it back unchanged: in double quotes (so commas, semicolons,
// '=' and blanks at either end are plain text), with a leading '@' doubled (QSettings reads
// "@..." as a typed value), backslash escapes for '"', '\', control characters and surrogates
// without their partner, and everything else as UTF-8.
void appendValue(QByteArray& out, const QString& text)
{
    out += '"';
    if (text.startsWith(u'@'))
        out += '@';
    bool escapeHexDigit = false; // QSettings reads every hex digit after "\x" into the escape
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const bool afterHexEscape = escapeHexDigit;
        escapeHexDigit = false;
        switch (u) {
        case '"': out += "\\\""; continue;
        case '\\': out += "\\\\"; continue;
        case '\a': out += "\\a"; continue;
        case '\b': out += "\\b"; continue;
        case '\f': out += "\\f"; continue;
        case '\n': out += "\\n"; continue;
        case '\r': out += "\\r"; continue;
        case '\t': out += "\\t"; continue;
        case '\v': out += "\\v"; continue;
        default: break;
        }
        const bool pair =
            QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair) {
            out += QStringView(text).sliced(i++, 2).toUtf8();
        } else if (u < 0x20 || u == 0x7F || QChar::isSurrogate(u)
                   || (afterHexEscape && isHexDigit(u))) {
            appendHexEscape(out, u);
            escapeHexDigit = true;
        } else {
            out += QStringView(text).sliced(i, 1).toUtf8();
        }
    }
    out += '"';
}

// The character of a one-letter escape, or 0 when the letter starts none.
char simpleEscape(char letter)
{
    switch (letter) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    case '"':
    case '?':
    case '\'':
    case '\\': return letter;
    default: return 0;
    }
}

// Reads the escape whose letter is at body[i] onto text and moves i past it. False for a
// backslash that starts no escape: an unknown letter, "\x" without a hex digit, a number beyond
// one UTF-16 unit, or nothing at all.
bool readEscape(QByteArrayView body, qsizetype& i, QString& text)
{
    if (i >= body.size())
        return false;
    const char letter = body[i++];
    if (const char meaning = simpleEscape(letter)) {
        text += QLatin1Char(meaning);
        return true;
    }
    // "\x" with hex digits or a backslash with octal digits: every digit that follows belongs to
    // the one character, as QSettings reads it.
    const bool hex = letter == 'x';
    if (!hex && (letter < '0' || letter > '7'))
        return false;
    if (hex && (i >= body.size() || hexValue(body[i]) < 0))
        return false;
    const int base = hex ? 16 : 8;
    int code = hex ? 0 : letter - '0';
    for (; i < body.size(); ++i) {
        const int digit = hexValue(body[i]);
        if (digit < 0 || digit >= base)
            break;
        code = code * base + digit;
        if (code > 0xFFFF)
            return false;
    }
    text += QChar(char16_t(code));
    return true;
}

// The text of a value in the form the program writes: in double quotes, with no '"' inside but
// escaped ones and every backslash starting a well-formed escape. Nothing for any other value.
std::optional<QString> quotedText(QByteArrayView value)
{
    if (value.size() < 2 || value.front() != '"' || value.back() != '"')
        return std::nullopt;
    const QByteArrayView body = value.sliced(1, value.size() - 2);
    QString text;
    qsizetype i = 0;
    while (i < body.size()) {
        qsizetype end = i;
        for (; end < body.size() && body[end] != '\\'; ++end) {
            if (body[end] == '"')
                return std::nullopt;
        }
        text += fromUtf8(body.sliced(i, end - i));
        i = end + 1;
        if (end < body.size() && !readEscape(body, i, text))
            return std::nullopt;
    }
    return text;
}

// QSettings reads a text that starts with '@' as a typed value when it has the form of one, and
// "@@" as a single '@'. An empty typed value holds nothing, which reads as empty text.
KeyStore::Value typedValue(const QString& text)
{
    struct Form {
        QStringView prefix;
        int fields; // space-separated numbers; 0: any content
        bool isText;
    };
    static constexpr std::array<Form, 7> forms{{{u"@ByteArray(", 0, false},
                                                {u"@String(", 0, true},
                                                {u"@Variant(", 0, false},
                                                {u"@DateTime(", 0, false},
                                                {u"@Rect(", 4, false},
                                                {u"@Size(", 2, false},
                                                {u"@Point(", 2, false}}};
    if (!text.startsWith(u'@'))
        return {Status::Text, text};
    if (text.endsWith(u')')) {
        if (text == u"@Invalid()")
            return {Status::Text, {}};
        for (const Form& form : forms) {
            if (!text.startsWith(form.prefix))
                continue;
            const QStringView content = QStringView(text).sliced(form.prefix.size()).chopped(1);
            if (form.isText)
                return {Status::Text, content.toString()};
            if (form.fields == 0)
                return {content.isEmpty() ? Status::Text : Status::WrongKind, {}};
            if (content.count(u' ') + 1 == form.fields)
                return {Status::WrongKind, {}};
        }
    }
    return {Status::Text, text.startsWith(u"@@") ? text.mid(1) : text};
}

// A line that is not UTF-8 was typed by hand in Shift-JIS, the encoding of older files.
bool isUtf8(QByteArrayView line)
{
    return line.isValidUtf8();
}

QString lineText(QByteArrayView bytes, bool utf8)
{
    return utf8 ? fromUtf8(bytes) : text::decodeCp932(bytes);
}

// The value written after '=' on a line that is valid UTF-8 or, when it is not, on a line typed
// by hand in Shift-JIS. Only the quoted form the program writes has escapes; in any other value a
// backslash is a backslash (C:\new\a.htm, 価格\1000円). A bare value with none of the characters
// QSettings writes only in quotes may be one of its typed values.
KeyStore::Value valueOf(QByteArrayView written, bool utf8)
{
    const QByteArrayView value = written.trimmed();
    if (utf8) {
        if (const std::optional<QString> text = quotedText(value))
            return typedValue(*text);
    }
    const QString text = lineText(value, utf8);
    for (const char16_t quotedOnly : {u'"', u';', u',', u'='}) {
        if (text.contains(QChar(quotedOnly)))
            return {Status::Text, text};
    }
    return typedValue(text);
}

// QSettings keeps the values without a section in [General], whatever the case of the name.
bool isGeneral(QByteArrayView sectionName)
{
    return sectionName.trimmed().compare("general", Qt::CaseInsensitive) == 0;
}

// The length of the line end at bytes[i]: CR LF, LF or CR.
qsizetype lineEndLength(QByteArrayView bytes, qsizetype i)
{
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
        return 2;
    return 1;
}

} // namespace

IniFile IniFile::parse(QByteArrayView bytes)
{
    IniFile file;
    const QByteArrayView byteOrderMark("\xEF\xBB\xBF");
    if (bytes.startsWith(byteOrderMark)) {
        file.byteOrderMark_ = byteOrderMark.toByteArray();
        bytes = bytes.sliced(byteOrderMark.size());
    }
    file.splitLines(bytes);
    bool inGeneral = true; // the lines before the first section belong to [General]
    for (qsizetype index = 0; index < file.lines_.size(); ++index) {
        const QByteArrayView content = QByteArrayView(file.lines_[index].text).trimmed();
        const bool unreadable = content.contains('\0');
        if (content.startsWith('[')) {
            // A header that cannot be read ("[Notes" without its ']', a zero byte in it) starts a
            // section whose name is unknown. Its lines are not the program's: reading them as
            // [General] could take a writer's own notes for settings, and a close would then
            // write over them.
            const qsizetype close = content.indexOf(']');
            inGeneral = !unreadable && close > 0 && isGeneral(content.sliced(1, close - 1));
            if (inGeneral)
                file.lastGeneralLine_ = index;
            continue;
        }
        // A line with a zero byte is no text anyone typed; like a comment, it is kept as it is.
        const qsizetype equals = content.indexOf('=');
        if (!inGeneral || unreadable || content.startsWith(';') || equals < 0)
            continue;
        const QString key = keyName(lineText(content.first(equals).trimmed(), isUtf8(content)));
        if (key.isEmpty())
            continue;
        file.valueLines_.insert(key, index);
        file.lastGeneralLine_ = index;
    }
    return file;
}

KeyStore::Value IniFile::value(const QString& name) const
{
    const auto found = valueLines_.constFind(name);
    if (found == valueLines_.constEnd())
        return {Status::Missing, {}};
    const QByteArrayView text = lines_[*found].text;
    return valueOf(text.sliced(text.indexOf('=') + 1), isUtf8(text));
}

void IniFile::setValue(const QString& name, const QString& text)
{
    const auto found = valueLines_.constFind(name);
    if (found != valueLines_.constEnd()) {
        // A value that already reads as the text keeps its line as it is, in the writer's own
        // form and encoding.
        const KeyStore::Value old = value(name);
        if (old.status == Status::Text && old.text == text)
            return;
    }
    QByteArray line;
    appendKey(line, name);
    line += '=';
    appendValue(line, text);
    if (found != valueLines_.constEnd()) {
        lines_[*found].text = line;
        return;
    }
    if (lastGeneralLine_ < 0)
        addGeneralSection();
    // Every key of [General] is on a line up to lastGeneralLine_, so no line of a key moves.
    insertLine(++lastGeneralLine_, line);
    valueLines_.insert(name, lastGeneralLine_);
}

QByteArray IniFile::bytes() const
{
    QByteArray out = byteOrderMark_;
    for (const Line& line : lines_) {
        out += line.text;
        out += line.end;
    }
    return out;
}

void IniFile::splitLines(QByteArrayView bytes)
{
    bool lineEndSeen = false;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        const qsizetype endLength = end < bytes.size() ? lineEndLength(bytes, end) : 0;
        lines_.append({bytes.sliced(start, end - start).toByteArray(),
                       bytes.sliced(end, endLength).toByteArray()});
        if (!lineEndSeen && endLength > 0) {
            lineEnd_ = lines_.constLast().end;
            lineEndSeen = true;
        }
        start = end + endLength;
    }
}

// The section goes at the end, after a blank line that parts it from the text before it.
void IniFile::addGeneralSection()
{
    if (!lines_.isEmpty() && !lines_.constLast().text.trimmed().isEmpty())
        insertLine(lines_.size(), {});
    insertLine(lines_.size(), "[General]");
    lastGeneralLine_ = lines_.size() - 1;
}

void IniFile::insertLine(qsizetype index, const QByteArray& text)
{
    if (index > 0 && lines_[index - 1].end.isEmpty())
        lines_[index - 1].end = lineEnd_;
    lines_.insert(index, Line{text, lineEnd_});
}
