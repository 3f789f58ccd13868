#include "platform/SafeWrite.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUuid>

#include <csignal>
#include <optional>
#include <sys/file.h>
#include <unistd.h>

// An in-place write keeps two files in the backup folder, both named by one random stem:
// "<stem>.old", the complete copy of the old file, and "<stem>.journal", written once the copy
// is whole and synced: the new content's size and SHA-256, then the target's path. The copy is
// made as "<stem>.part" and renamed when complete; it stays locked (flock) until the write is
// settled, so an unlocked copy always belongs to a program that has ended.

namespace {

const QString partSuffix = QStringLiteral(".part");
const QString copySuffix = QStringLiteral(".old");
const QString journalSuffix = QStringLiteral(".journal");

bool synced(QFileDevice& file)
{
    return file.flush() && ::fsync(file.handle()) == 0;
}

enum class Replaced { Done, Failed, NoFileBeside };

Replaced replaceWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Replaced::NoFileBeside;
    // A short count or a failed flush is a full disk or a size limit: Qt's commit() would take
    // the cut-short file for a finished one and put it in place of the old. commit() syncs too,
    // but goes on to the rename when the sync fails.
    if (file.write(bytes) != bytes.size() || !synced(file)) {
        file.cancelWriting();
        return Replaced::Failed;
    }
    return file.commit() ? Replaced::Done : Replaced::Failed;
}

// Writes over the file from its start and cuts it to the new length, never shortening it first:
// the blocks of the old content stay allocated, so putting it back after a full disk needs no
// new space.
bool overwrite(QFile& file, const QByteArray& bytes)
{
    return file.seek(0) && file.write(bytes) == bytes.size() && file.resize(bytes.size())
           && ::fsync(file.handle()) == 0;
}

QByteArray sha256(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QByteArray journalText(const QString& target, const QByteArray& bytes)
{
    return QByteArray::number(bytes.size()) + '\n' + sha256(bytes) + '\n'
           + QFile::encodeName(target);
}

// Makes the locked, synced copy of the old content and its journal; false when either is missing.
bool prepareCopy(QFile& copy, const QString& stem, const QByteArray& old, const QByteArray& journal)
{
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerOnly))
        return false;
    if (::flock(copy.handle(), LOCK_EX) == 0 && copy.write(old) == old.size() && synced(copy)
        && QFile::rename(stem + partSuffix, stem + copySuffix)) {
        if (replaceWhole(stem + journalSuffix, journal) == Replaced::Done)
            return true;
        QFile::remove(stem + copySuffix);
    }
    copy.remove();
    return false;
}

bool writeInPlace(const QString& path, const QByteArray& bytes, const QString& backupFolder)
{
    QFile target(path);
    if (!target.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    const QByteArray old = target.readAll();
    if (target.error() != QFileDevice::NoError || !QDir().mkpath(backupFolder))
        return false;
    const QString stem = QDir(backupFolder).filePath(QUuid::createUuid().toString(QUuid::Id128));
    QFile copy(stem + partSuffix);
    if (!prepareCopy(copy, stem, old, journalText(path, bytes)))
        return false;
    const bool written = overwrite(target, bytes);
    if (!written && !overwrite(target, old))
        return false; // the copy and the journal stay for the next start
    QFile::remove(stem + journalSuffix);
    QFile::remove(stem + copySuffix);
    return written;
}

struct Journal {
    qint64 size = 0;
    QByteArray hash;
    QString target;
};

std::optional<Journal> readJournal(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = file.readAll();
    const qsizetype first = text.indexOf('\n');
    const qsizetype second = first < 0 ? -1 : text.indexOf('\n', first + 1);
    bool ok = false;
    const qint64 size = text.left(first).toLongLong(&ok);
    if (second < 0 || !ok)
        return std::nullopt;
    return Journal{size, text.mid(first + 1, second - first - 1),
                   QFile::decodeName(text.mid(second + 1))};
}

bool holdsNewContent(const Journal& journal)
{
    QFile file(journal.target);
    if (!file.open(QIODevice::ReadOnly) || file.size() != journal.size)
        return false;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return hash.addData(&file) && hash.result().toHex() == journal.hash;
}

// Leaves the target of the copy's journal whole, new or old; true when the copy may go. A copy
// without a journal was never used: the write had not begun.
bool settle(QFile& copy)
{
    const QString journalPath = copy.fileName().chopped(copySuffix.size()) + journalSuffix;
    if (!QFile::exists(journalPath))
        return true;
    const std::optional<Journal> journal = readJournal(journalPath);
    if (!journal)
        return false;
    if (!holdsNewContent(*journal)) {
        const QByteArray old = copy.readAll();
        QFile target(journal->target);
        if (copy.error() != QFileDevice::NoError
            || !target.open(QIODevice::ReadWrite | QIODevice::Unbuffered)
            || !overwrite(target, old))
            return false;
    }
    return QFile::remove(journalPath);
}

} // namespace

QString writeBackupFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/pelmora");
}

bool writeFileSafely(const QString& path, const QByteArray& bytes, const QString& backupFolder)
{
    switch (replaceWhole(path, bytes)) {
    case Replaced::Done: return true;
    case Replaced::Failed: return false;
    case Replaced::NoFileBeside: break;
    }
    return QFileInfo(path).isFile() && writeInPlace(path, bytes, backupFolder);
}

void finishInterruptedWrites(const QString& backupFolder)
{
    const QDir folder(backupFolder);
    const QStringList patterns{QLatin1Char('*') + partSuffix, QLatin1Char('*') + copySuffix};
    for (const QString& name : folder.entryList(patterns, QDir::Files)) {
        QFile copy(folder.filePath(name));
        if (!copy.open(QIODevice::ReadOnly) || ::flock(copy.handle(), LOCK_EX | LOCK_NB) != 0)
            continue;
        if (name.endsWith(partSuffix) || settle(copy))
            copy.remove();
    }
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}
