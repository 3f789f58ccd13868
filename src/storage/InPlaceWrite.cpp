#include "storage/InPlaceWrite.h"

#include "storage/StateFolder.h"
#include "storage/WholeFile.h"
#include "storage/WriteJournal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// An in-place write keeps two files in the backup folder, both named by one random stem:
// "<stem>.old", the complete copy of the old file, and "<stem>.journal", written once the copy
// is whole and synced (see WriteJournal). The copy is made as "<stem>.part" and renamed when
// complete; it stays locked (flock) until the write is settled, so an unlocked copy always
// belongs to a program that has ended.

namespace {

const QString partSuffix = QStringLiteral(".part");
const QString copySuffix = QStringLiteral(".old");
const QString journalSuffix = QStringLiteral(".journal");

bool synced(QFileDevice& file)
{
    return file.flush() && ::fsync(file.handle()) == 0;
}

// Writes over the file from its start and cuts it to the new length, never shortening it first:
// the blocks of the old content stay allocated, so putting it back after a full disk needs no
// new space.
bool overwrite(QFile& file, const QByteArray& bytes)
{
    return file.seek(0) && file.write(bytes) == bytes.size() && file.resize(bytes.size())
           && ::fsync(file.handle()) == 0;
}

// Makes the locked, synced copy of the old content and its journal; false when either is missing.
bool prepareCopy(QFile& copy, const QString& stem, const QByteArray& old, const QByteArray& journal)
{
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerOnly))
        return false;
    if (::flock(copy.handle(), LOCK_EX) == 0 && copy.write(old) == old.size() && synced(copy)
        && QFile::rename(stem + partSuffix, stem + copySuffix)) {
        // The journal must be on the disk, its name too, before the file is touched.
        if (replaceOwnerOnlyFile(stem + journalSuffix, contentWriter(journal),
                                 FolderSync::Required))
            return true;
        // Renamed into place but not synced: without its copy a journal settles nothing.
        QFile::remove(stem + journalSuffix);
        QFile::remove(stem + copySuffix);
    }
    copy.remove();
    return false;
}

// A journal is a few hundred bytes and a path; what is larger is not one.
QByteArray journalContent(const QString& path)
{
    constexpr qint64 largest = 64 * 1024;
    QFile file(path);
    return openOwnFile(file) ? file.read(largest) : QByteArray();
}

bool holdsNewContent(QFile& target, const WriteJournal& journal)
{
    if (target.size() != journal.newSize || !target.seek(0))
        return false;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return hash.addData(&target) && hash.result().toHex() == journal.newHash;
}

// Opens the file the journal names for writing, if it is still the file that was written.
bool openSameFile(QFile& target, const WriteJournal& journal)
{
    struct stat now {};
    return target.open(QIODevice::ReadWrite | QIODevice::Unbuffered)
           && ::fstat(target.handle(), &now) == 0 && S_ISREG(now.st_mode)
           && quint64(now.st_dev) == journal.device && quint64(now.st_ino) == journal.inode;
}

// Leaves the target of the copy's journal whole, new or old; true when the copy may go. A copy
// without a journal was never used: the write had not begun. `kept` is filled in when the write
// cannot be settled safely.
bool settle(QFile& copy, const QString& copyPath, KeptCopy& kept)
{
    const QString journalPath = copyPath.chopped(copySuffix.size()) + journalSuffix;
    if (!QFile::exists(journalPath))
        return true;
    const QByteArray bytes = journalContent(journalPath);
    kept = {copyPath, namedTarget(bytes)};
    const std::optional<WriteJournal> journal = readWriteJournal(bytes);
    if (!journal)
        return false;
    const QByteArray old = copy.readAll();
    if (copy.error() != QFileDevice::NoError || old.size() != journal->copySize
        || sha256Hex(old) != journal->copyHash)
        return false;
    QFile target(journal->target);
    if (!openSameFile(target, *journal))
        return false;
    if (!holdsNewContent(target, *journal) && !overwrite(target, old))
        return false;
    return QFile::remove(journalPath);
}

} // namespace

bool writeInPlace(const QString& path, const QByteArray& bytes, const QString& backupFolder)
{
    // Without a state folder the program may trust, nothing guards the write.
    QFile target(path);
    if (backupFolder.isEmpty() || !target.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    const QByteArray old = target.readAll();
    struct stat identity {};
    if (target.error() != QFileDevice::NoError || ::fstat(target.handle(), &identity) != 0
        || !makeStateFolder(backupFolder))
        return false;
    const WriteJournal journal{QFileInfo(path).absoluteFilePath(),
                               quint64(identity.st_dev),
                               quint64(identity.st_ino),
                               old.size(),
                               sha256Hex(old),
                               bytes.size(),
                               sha256Hex(bytes)};
    const QString stem = QDir(backupFolder).filePath(QUuid::createUuid().toString(QUuid::Id128));
    QFile copy(stem + partSuffix);
    if (!prepareCopy(copy, stem, old, writeJournalBytes(journal)))
        return false;
    const bool written = overwrite(target, bytes);
    if (!written && !overwrite(target, old))
        return false; // the copy and the journal stay for the next start
    QFile::remove(stem + journalSuffix);
    QFile::remove(stem + copySuffix);
    return written;
}

QList<KeptCopy> finishInterruptedWrites(const QString& backupFolder)
{
    const QDir folder(backupFolder);
    const QStringList patterns{QLatin1Char('*') + partSuffix, QLatin1Char('*') + copySuffix};
    QList<KeptCopy> kept;
    for (const QString& name : folder.entryList(patterns, QDir::Files)) {
        const QString path = folder.filePath(name);
        QFile copy(path);
        if (!openOwnFile(copy) || ::flock(copy.handle(), LOCK_EX | LOCK_NB) != 0)
            continue;
        KeptCopy unsettled;
        if (name.endsWith(partSuffix) || settle(copy, path, unsettled))
            QFile::remove(path); // unlocked once closed, when it has no name any more
        else
            kept.append(unsettled);
    }
    return kept;
}
