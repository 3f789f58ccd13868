#include "publish/KnownHosts.h"

#include "storage/WholeFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QList<QByteArray> lines(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>{};
}

// The key of a known_hosts line ("[@marker] hosts type key [comment]").
QByteArray lineKey(const QByteArray& line)
{
    QList<QByteArray> fields = line.simplified().split(' ');
    if (!fields.isEmpty() && fields[0].startsWith('@'))
        fields.removeFirst();
    return QByteArray::fromBase64(fields.value(2));
}

} // namespace

bool knownHostsHashed(const QString& path)
{
    for (const QByteArray& line : lines(path)) {
        if (line.startsWith("|1|"))
            return true;
    }
    return false;
}

void prepareKnownHosts(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir() && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                          | QFileDevice::ExeOwner);
    QFile file(path);
    if (file.size() > 0 && file.open(QIODevice::ReadWrite) && file.seek(file.size() - 1)
        && file.read(1) != "\n")
        file.write("\n");
}

HostKeyChange hostKeyChange(const QString& sshWarning)
{
    static const QRegularExpression sent(QStringLiteral(
        "fingerprint for the (\\S+) key sent by the remote host is\\s+(SHA256:\\S+)\\."));
    static const QRegularExpression offending(QStringLiteral("Offending \\S+ key in (.+):(\\d+)"));
    HostKeyChange change;
    const QRegularExpressionMatch key = sent.match(sshWarning);
    change.keyType = key.captured(1);
    change.fingerprint = key.captured(2);
    const QRegularExpressionMatch where = offending.match(sshWarning);
    change.file = where.captured(1);
    change.line = where.captured(2).toInt();
    const QByteArray old = lines(change.file).value(change.line - 1);
    if (!lineKey(old).isEmpty())
        change.oldFingerprint = keyFingerprint(lineKey(old));
    return change;
}

bool removeKnownHostsLine(const QString& path, int line)
{
    QList<QByteArray> kept = lines(path);
    if (line < 1 || line > kept.size())
        return false;
    kept.removeAt(line - 1);
    return replaceFile(path, contentWriter(kept.join('\n'))) == Replaced::Done;
}

QString keyFingerprint(const QByteArray& keyBlob)
{
    const QByteArray hash = QCryptographicHash::hash(keyBlob, QCryptographicHash::Sha256);
    return QStringLiteral("SHA256:")
           + QString::fromLatin1(hash.toBase64(QByteArray::OmitTrailingEquals));
}
