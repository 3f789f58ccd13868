#include "recovery/RecoveryData.h"

#include <QCryptographicHash>
#include <QIODevice>
#include <QtEndian>

#include <limits>
#include <vector>

namespace recovery {

namespace {

constexpr QByteArrayView magic = "PelmoraR";
constexpr quint32 formatVersion = 4;
// Version 1 had no stamp of the diary file, version 2 no encoding of it, version 3 no hash of
// its content nor its line ends.
constexpr quint32 firstVersion = 1;
constexpr quint32 stampVersion = 2;
constexpr quint32 encodingVersion = 3;
// The encodings a diary can be in (text::Encoding).
constexpr int encodingCount = 3;
// The line ends a diary can have (text::LineEnd).
constexpr int lineEndCount = 3;
constexpr auto hashMethod = QCryptographicHash::Sha1;
constexpr qsizetype hashSize = 20;
constexpr qsizetype unitsPerChunk = 1 << 20;

// Writes through to the device and keeps the checksum of everything written.
class Encoder {
public:
    explicit Encoder(QIODevice& out) : out_(out), hash_(hashMethod) {}

    bool bytes(QByteArrayView data)
    {
        hash_.addData(data);
        return out_.write(data.data(), data.size()) == data.size();
    }
    bool number(quint64 value)
    {
        char raw[sizeof value];
        qToLittleEndian(value, raw);
        return bytes(QByteArrayView(raw, sizeof raw));
    }
    bool flag(bool value) { return number(value ? 1 : 0); }
    bool item(int value) { return number(quint64(qint64(value))); }
    bool text(const QString& value)
    {
        if (!number(quint64(value.size())))
            return false;
        for (qsizetype at = 0; at < value.size(); at += unitsPerChunk) {
            const qsizetype count = std::min(unitsPerChunk, value.size() - at);
            if (!bytes(littleEndianUnits(value.constData() + at, count)))
                return false;
        }
        return true;
    }
    bool checksum() { return out_.write(hash_.result()) == hashSize; }

private:
    QByteArrayView littleEndianUnits(const QChar* units, qsizetype count)
    {
        const auto* raw = reinterpret_cast<const char*>(units);
        if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian)
            return QByteArrayView(raw, count * 2);
        buffer_.resize(size_t(count) * 2);
        qToLittleEndian<quint16>(raw, count, buffer_.data());
        return QByteArrayView(buffer_.data(), count * 2);
    }

    QIODevice& out_;
    QCryptographicHash hash_;
    std::vector<char> buffer_;
};

// Reads the fields back in order; any read past the end leaves it failed.
class Decoder {
public:
    explicit Decoder(QByteArrayView bytes) : bytes_(bytes) {}

    bool failed() const { return failed_; }
    bool atEnd() const { return at_ == bytes_.size(); }

    QByteArrayView take(qsizetype count)
    {
        if (failed_ || count < 0 || count > bytes_.size() - at_) {
            failed_ = true;
            return {};
        }
        const QByteArrayView part = bytes_.sliced(at_, count);
        at_ += count;
        return part;
    }
    quint64 number()
    {
        const QByteArrayView raw = take(sizeof(quint64));
        return failed_ ? 0 : qFromLittleEndian<quint64>(raw.data());
    }
    // A flag is 0 or 1 and an item fits an int, as written: anything else is not this format.
    bool flag()
    {
        const quint64 value = number();
        failed_ = failed_ || value > 1;
        return value == 1;
    }
    qint64 signedNumber() { return qint64(number()); }
    int item()
    {
        const qint64 value = signedNumber();
        failed_ = failed_ || value < std::numeric_limits<int>::min()
                  || value > std::numeric_limits<int>::max();
        return int(value);
    }
    QString text()
    {
        const quint64 units = number();
        if (units > quint64(bytes_.size()) / 2) {
            failed_ = true;
            return {};
        }
        const QByteArrayView raw = take(qsizetype(units) * 2);
        if (failed_)
            return {};
        QString value(qsizetype(units), Qt::Uninitialized);
        qFromLittleEndian<quint16>(raw.data(), qsizetype(units), value.data());
        return value;
    }

private:
    QByteArrayView bytes_;
    qsizetype at_ = 0;
    bool failed_ = false;
};

} // namespace

bool writeRecoveryData(QIODevice& out, const RecoveryData& data)
{
    Encoder e(out);
    return e.bytes(magic) && e.number(formatVersion) && e.text(data.entry.year)
           && e.text(data.entry.month) && e.text(data.entry.day) && e.text(data.entry.weekdayText)
           && e.item(data.entry.weekdayItem) && e.text(data.entry.weatherText)
           && e.item(data.entry.weatherItem) && e.text(data.entry.title)
           && e.text(data.entry.titleCaption) && e.flag(data.entry.titleShown)
           && e.text(data.entry.body) && e.flag(data.entry.bodyModified) && e.flag(data.hasDiary)
           && e.text(data.diaryText) && e.text(data.fileName) && e.flag(data.newDocument)
           && e.number(quint64(data.fileModifiedMs)) && e.number(quint64(data.fileSize))
           && e.item(data.diaryEncoding) && e.flag(data.byteOrderMark)
           && e.text(QString::fromLatin1(data.fileHash.toHex())) && e.item(data.lineEnd)
           && e.checksum();
}

std::optional<RecoveryData> readRecoveryData(QByteArrayView bytes)
{
    if (bytes.size() < magic.size() + hashSize || !bytes.startsWith(magic))
        return std::nullopt;
    const QByteArrayView content = bytes.first(bytes.size() - hashSize);
    if (QCryptographicHash::hash(content, hashMethod) != bytes.last(hashSize))
        return std::nullopt;
    Decoder d(content.sliced(magic.size()));
    const quint64 version = d.number();
    if (version < firstVersion || version > formatVersion)
        return std::nullopt;
    RecoveryData data;
    data.entry.year = d.text();
    data.entry.month = d.text();
    data.entry.day = d.text();
    data.entry.weekdayText = d.text();
    data.entry.weekdayItem = d.item();
    data.entry.weatherText = d.text();
    data.entry.weatherItem = d.item();
    data.entry.title = d.text();
    data.entry.titleCaption = d.text();
    data.entry.titleShown = d.flag();
    data.entry.body = d.text();
    data.entry.bodyModified = d.flag();
    data.hasDiary = d.flag();
    data.diaryText = d.text();
    data.fileName = d.text();
    data.newDocument = d.flag();
    if (version >= stampVersion) {
        data.fileModifiedMs = d.signedNumber();
        data.fileSize = d.signedNumber();
    }
    if (version >= encodingVersion) {
        data.diaryEncoding = d.item();
        data.byteOrderMark = d.flag();
    }
    // Lower-case hex digits only, as written: any other spelling is not this format.
    const QString hash = version >= formatVersion ? d.text() : QString();
    data.fileHash = QByteArray::fromHex(hash.toLatin1());
    if (QString::fromLatin1(data.fileHash.toHex()) != hash)
        return std::nullopt;
    if (version >= formatVersion)
        data.lineEnd = d.item();
    if (d.failed() || !d.atEnd() || data.diaryEncoding < 0 || data.diaryEncoding >= encodingCount
        || data.lineEnd < 0 || data.lineEnd >= lineEndCount)
        return std::nullopt;
    return data;
}

bool isLaterRecoveryVersion(QByteArrayView bytes)
{
    if (bytes.size() < magic.size() + qsizetype(sizeof(quint64)) || !bytes.startsWith(magic))
        return false;
    return qFromLittleEndian<quint64>(bytes.data() + magic.size()) > formatVersion;
}

} // namespace recovery
