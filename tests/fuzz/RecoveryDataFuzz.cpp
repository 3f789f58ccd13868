// The recovery file reader on any bytes: it never crashes, and what it accepts writes back to
// the very same bytes, or (for a flag or item that is not a number the writer writes) to as
// many bytes that it accepts and writes back unchanged. The bytes are tried as they come and once
// more sealed with their own checksum, so that mutations reach the fields behind it.
#include "FuzzCheck.h"
#include "recovery/RecoveryData.h"

#include <QBuffer>
#include <QCryptographicHash>

#include <cstdint>

using fuzz::require;

namespace {

// The reader takes any non-zero flag as true and keeps the low 32 bits of an item, so a file
// that holds another number there writes back as 1 or the int it was read as. Such bytes are
// held to what the writer itself makes: written again, they come back unchanged.
bool canonicalWritesBack(const QByteArray& written)
{
    const std::optional<recovery::RecoveryData> again = recovery::readRecoveryData(written);
    if (!again)
        return false;
    QByteArray rewritten;
    QBuffer out(&rewritten);
    out.open(QIODevice::WriteOnly);
    return recovery::writeRecoveryData(out, *again) && rewritten == written;
}

void checkRoundTrip(const QByteArray& bytes)
{
    const std::optional<recovery::RecoveryData> data = recovery::readRecoveryData(bytes);
    if (!data)
        return;
    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    require(recovery::writeRecoveryData(out, *data), "accepted data can be written");
    require(written.size() == bytes.size(), "accepted data writes back to as many bytes");
    require(written == bytes || canonicalWritesBack(written),
            "accepted data writes back to the same bytes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkRoundTrip(bytes);
    checkRoundTrip(bytes + QCryptographicHash::hash(bytes, QCryptographicHash::Sha1));
    return 0;
}
