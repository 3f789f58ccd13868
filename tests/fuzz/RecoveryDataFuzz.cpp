// The recovery file reader on any bytes: it never crashes, and what it accepts writes back to
// the very same bytes (a file of an earlier version: to the current form, which then stays). The
// bytes are tried as they come and once more sealed with their own checksum, so that mutations
// reach the fields behind it.
#include "FuzzCheck.h"
#include "recovery/RecoveryData.h"

#include <QBuffer>
#include <QCryptographicHash>

#include <cstdint>

using fuzz::require;

namespace {

QByteArray written(const recovery::RecoveryData& data)
{
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    require(recovery::writeRecoveryData(out, data), "accepted data can be written");
    return bytes;
}

// A file of an earlier version (1 to 3; the current one is 4) is written back in the current one;
// that one comes back as it is written.
void checkRoundTrip(const QByteArray& bytes)
{
    const std::optional<recovery::RecoveryData> data = recovery::readRecoveryData(bytes);
    if (!data)
        return;
    const QByteArray back = written(*data);
    if (bytes.at(8) != 4) {
        const std::optional<recovery::RecoveryData> again = recovery::readRecoveryData(back);
        require(again && written(*again) == back, "an older file comes back in the current form");
        return;
    }
    require(back == bytes, "accepted data writes back to the same bytes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkRoundTrip(bytes);
    checkRoundTrip(bytes + QCryptographicHash::hash(bytes, QCryptographicHash::Sha1));
    return 0;
}
