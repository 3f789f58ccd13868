#include "publish/CertificatePins.h"

#include "storage/StateFolder.h"
#include "storage/WholeFile.h"

#include <QFileInfo>
#include <QList>

namespace {

// "[host]:port", the key of a line of the pins file, followed by a space and the pin.
QByteArray pinKeyOf(const QString& host, int port)
{
    return '[' + host.toUtf8() + "]:" + QByteArray::number(port);
}

QList<QByteArray> pinLines(const QString& pinsFile)
{
    return readOwnFile(pinsFile).value_or(QByteArray()).split('\n');
}

// The pins file with the line of host:port replaced by `pin`, or removed when it is empty.
bool writePins(const QString& pinsFile, const QString& host, int port, const QByteArray& pin)
{
    const QByteArray key = pinKeyOf(host, port);
    QByteArray kept;
    for (const QByteArray& line : pinLines(pinsFile)) {
        if (!line.trimmed().isEmpty() && !line.startsWith(key + ' '))
            kept += line + '\n';
    }
    if (!pin.isEmpty())
        kept += key + ' ' + pin + '\n';
    const QString folder = QFileInfo(pinsFile).absolutePath();
    if (!makeStateFolder(folder))
        return false;
    return replaceOwnerOnlyFile(pinsFile, contentWriter(kept), FolderSync::BestEffort);
}

} // namespace

QByteArray pinnedKey(const QString& pinsFile, const QString& host, int port)
{
    const QByteArray key = pinKeyOf(host, port);
    for (const QByteArray& line : pinLines(pinsFile)) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 2 && fields[0] == key && fields[1].startsWith("sha256//"))
            return fields[1];
    }
    return {};
}

bool keepPin(const QString& pinsFile, const QString& host, int port, const QByteArray& pin)
{
    return writePins(pinsFile, host, port, pin);
}

bool forgetPin(const QString& pinsFile, const QString& host, int port)
{
    return pinnedKey(pinsFile, host, port).isEmpty() || writePins(pinsFile, host, port, {});
}

QString pinFingerprint(const QByteArray& pin)
{
    return QString::fromLatin1(QByteArray::fromBase64(pin.mid(8)).toHex(':').toUpper());
}
