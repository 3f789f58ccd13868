// The journal of a write in place, read from any bytes: the reader never fails on them, accepts
// only bytes whose checksum holds and that are exactly what the writer gives for the fields it
// read; and a journal the writer makes from fields taken from the bytes reads back to them,
// but not once any one of its bytes is changed.

#include "storage/WriteJournal.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

QByteArray sha256(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

void checkAccepted(const QByteArray& bytes)
{
    const std::optional<WriteJournal> journal = readWriteJournal(bytes);
    if (!journal)
        return;
    const qsizetype sumLine = bytes.lastIndexOf("\nsum ") + 1;
    if (sumLine <= 0 || bytes.mid(sumLine) != "sum " + sha256(bytes.left(sumLine)) + '\n')
        std::abort();
    if (writeJournalBytes(*journal) != bytes)
        std::abort();
}

quint64 take(const uint8_t*& data, size_t& size)
{
    quint64 value = 0;
    const size_t n = std::min(size, sizeof value);
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

void checkRoundTrip(const uint8_t* data, size_t size)
{
    const QByteArray whole(reinterpret_cast<const char*>(data), qsizetype(size));
    WriteJournal made;
    made.device = take(data, size);
    made.inode = take(data, size);
    made.copySize = qint64(take(data, size) >> 1);
    made.newSize = qint64(take(data, size) >> 1);
    made.copyHash = sha256(whole);
    made.newHash = sha256(whole + 'n');
    made.target = QStringLiteral("/")
                  + QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray written = writeJournalBytes(made);
    if (readWriteJournal(written) != made)
        std::abort();
    // Any one byte changed, the journal is refused.
    QByteArray changed = written;
    const qsizetype at = qsizetype(made.device % quint64(written.size()));
    changed[at] = char(changed[at] ^ char(1 + made.inode % 255));
    if (readWriteJournal(changed))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkAccepted(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    checkRoundTrip(data, size);
    return 0;
}
