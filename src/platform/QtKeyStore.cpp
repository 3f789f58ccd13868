#include "platform/QtKeyStore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

#include <utility>

QtKeyStore::QtKeyStore() : QtKeyStore(defaultFilePath()) {}

QtKeyStore::QtKeyStore(QString filePath) : path_(std::move(filePath)) {}

QtKeyStore::~QtKeyStore() = default;

QString QtKeyStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/oribeko/Quillode.conf");
}

namespace {

bool holdsZeroByte(QFile& file)
{
    constexpr qint64 chunk = 1 << 20;
    while (!file.atEnd()) {
        const QByteArray bytes = file.read(chunk);
        if (bytes.isEmpty())
            return true; // a read error: as good as unreadable
        if (bytes.contains('\0'))
            return true;
    }
    return false;
}

// QSettings hands back an empty list or binary value, or an invalid variant for "@Invalid()",
// for values that hold nothing.
bool isEmptyOfAnyKind(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return true;
    case QMetaType::QByteArray:
        return value.toByteArray().isEmpty();
    case QMetaType::QStringList:
        return value.toStringList().isEmpty();
    case QMetaType::QVariantList:
        return value.toList().isEmpty();
    default:
        return false;
    }
}

const char hexDigits[] = "0123456789ABCDEF";

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

bool isHexDigit(char16_t u)
{
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

// A text value as QSettings reads it back unchanged: in double quotes (so commas, semicolons,
// '=' and blanks at either end are plain text), with a leading '@' doubled (QSettings reads
// "@..." as a typed value), backslash escapes for '"', '\' and control characters, and
// everything else as UTF-8.
void appendValue(QByteArray& out, const QString& text)
{
    out += '"';
    if (text.startsWith(u'@'))
        out += '@';
    bool escapeHexDigit = false; // QSettings reads every hex digit after "\x" into the escape
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool afterHexEscape = escapeHexDigit;
        escapeHexDigit = false;
        switch (u) {
        case '"':
            out += "\\\"";
            continue;
        case '\\':
            out += "\\\\";
            continue;
        case '\a':
            out += "\\a";
            continue;
        case '\b':
            out += "\\b";
            continue;
        case '\f':
            out += "\\f";
            continue;
        case '\n':
            out += "\\n";
            continue;
        case '\r':
            out += "\\r";
            continue;
        case '\t':
            out += "\\t";
            continue;
        case '\v':
            out += "\\v";
            continue;
        default:
            break;
        }
        if (u < 0x20 || u == 0x7F || (afterHexEscape && isHexDigit(u))) {
            out += "\\x";
            out += hexDigits[u >> 4];
            out += hexDigits[u & 0xF];
            escapeHexDigit = true;
        } else {
            out += QStringView(&c, 1).toUtf8();
        }
    }
    out += '"';
}

// The INI text of the values, in their order, all in QSettings' section [General].
QByteArray iniText(const QList<QPair<QString, QString>>& values)
{
    QByteArray out("[General]\n");
    for (const auto& [name, text] : values) {
        appendKey(out, name);
        out += '=';
        appendValue(out, text);
        out += '\n';
    }
    return out;
}

} // namespace

bool QtKeyStore::open()
{
    close();
    const QFileInfo info(path_);
    if (!info.isFile() || info.size() == 0)
        return false;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly) || holdsZeroByte(file))
        return false;
    file.close();
    auto settings = std::make_unique<QSettings>(path_, QSettings::IniFormat);
    if (settings->status() != QSettings::NoError)
        return false;
    settings_ = std::move(settings);
    return true;
}

bool QtKeyStore::openOrCreate()
{
    close();
    writable_ = QDir().mkpath(QFileInfo(path_).absolutePath());
    return writable_;
}

KeyStore::Value QtKeyStore::read(const QString& name)
{
    if (!settings_ || !settings_->contains(name))
        return {Status::Missing, {}};
    const QVariant value = settings_->value(name);
    if (value.typeId() == QMetaType::QString)
        return {Status::Text, value.toString()};
    if (isEmptyOfAnyKind(value))
        return {Status::Text, {}};
    return {Status::WrongKind, {}};
}

void QtKeyStore::write(const QString& name, const QString& text)
{
    for (auto& staged : staged_) {
        if (staged.first == name) {
            staged.second = text;
            return;
        }
    }
    staged_.append({name, text});
}

bool QtKeyStore::commit()
{
    if (!writable_)
        return false;
    // QSaveFile writes beside the file and renames over it (over a symbolic link's target).
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = iniText(staged_);
    // A short count is a full disk or a size limit; QSaveFile would take it for success.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return false;
    staged_.clear();
    return true;
}

void QtKeyStore::close()
{
    settings_.reset();
    writable_ = false;
    staged_.clear();
}
