#include "publish/LinkedFiles.h"

#include "storage/StateFolder.h"
#include "storage/WholeFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>

namespace {

// The address an attribute holds: SRC="a.jpg", href='b.css', src=c.png.
const QRegularExpression& linkPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral(R"re((?:\bsrc|\bhref)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>"']+)))re"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// The file part of a relative address ("img/a%20b.jpg?v=2#top" gives "img/a b.jpg"); empty for
// an absolute one, a path from the server's root or an anchor alone.
QString relativeFile(QString address)
{
    address = address.trimmed();
    address.truncate(qMin(address.indexOf(u'#') < 0 ? address.size() : address.indexOf(u'#'),
                          address.indexOf(u'?') < 0 ? address.size() : address.indexOf(u'?')));
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (address.isEmpty() || address.startsWith(u'/') || address.startsWith(u'\\')
        || scheme.match(address).hasMatch())
        return {};
    return QUrl::fromPercentEncoding(address.toUtf8());
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result().toHex();
}

// The record's lines: "size<TAB>modified (ms since the epoch)<TAB>sha256<TAB>name".
QHash<QString, SentFile> readRecord(const QString& path)
{
    QHash<QString, SentFile> record;
    for (const QByteArray& line : readOwnFile(path).value_or(QByteArray()).split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 4)
            record.insert(QString::fromUtf8(fields[3]),
                          {fields[0].toLongLong(),
                           QDateTime::fromMSecsSinceEpoch(fields[1].toLongLong()), fields[2]});
    }
    return record;
}

} // namespace

DiaryLinks linkedFiles(const QString& diaryPath, const QString& text)
{
    const QDir folder = QFileInfo(diaryPath).absoluteDir();
    const QString diary = QFileInfo(diaryPath).absoluteFilePath();
    DiaryLinks links;
    QStringList seen;
    for (auto match = linkPattern().globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        const QString name =
            relativeFile(found.captured(1) + found.captured(2) + found.captured(3));
        const QString local = QDir::cleanPath(folder.absoluteFilePath(name));
        const QString remote = folder.relativeFilePath(local);
        const QFileInfo info(local);
        if (name.isEmpty() || remote.startsWith(QStringLiteral("..")) || local == diary
            || seen.contains(remote) || info.isDir())
            continue;
        seen.append(remote);
        if (info.isFile())
            links.files.append({local, remote, info.size()});
        else
            links.missing.append(remote);
    }
    return links;
}

SentFiles::SentFiles(const QString& folder, const SiteAddress& site)
{
    const QString key = QStringLiteral("%1://%2@%3:%4/%5")
                            .arg(int(site.protocol))
                            .arg(site.user, site.host)
                            .arg(site.port)
                            .arg(site.folder);
    const QByteArray name =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(32);
    path_ = folder + QStringLiteral("/sent/") + QString::fromLatin1(name);
}

QList<LinkedFile> SentFiles::changed(const QList<LinkedFile>& files) const
{
    const QHash<QString, SentFile> record = readRecord(path_);
    QList<LinkedFile> changed;
    for (const LinkedFile& file : files) {
        const auto kept = record.constFind(file.remoteName);
        const QDateTime modified = QFileInfo(file.localPath).lastModified();
        const bool same =
            kept != record.constEnd() && kept->size == file.size
            && (kept->modified == modified || kept->sha256 == fileHash(file.localPath));
        if (!same)
            changed.append(file);
    }
    return changed;
}

bool SentFiles::markSent(const QList<LinkedFile>& files)
{
    QHash<QString, SentFile> record = readRecord(path_);
    for (const LinkedFile& file : files)
        record.insert(file.remoteName, {file.size, QFileInfo(file.localPath).lastModified(),
                                        fileHash(file.localPath)});
    QByteArray text;
    for (auto kept = record.constBegin(); kept != record.constEnd(); ++kept)
        text += QByteArray::number(kept->size) + '\t'
                + QByteArray::number(kept->modified.toMSecsSinceEpoch()) + '\t' + kept->sha256
                + '\t' + kept.key().toUtf8() + '\n';
    const QString folder = QFileInfo(path_).absolutePath();
    if (!makeStateFolder(folder))
        return false;
    return replaceOwnerOnlyFile(path_, contentWriter(text), FolderSync::BestEffort);
}
