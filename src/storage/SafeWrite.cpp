#include "storage/SafeWrite.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
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
constexpr mode_t ownerOnlyFolder = 0700;
constexpr mode_t ownerOnlyFile = 0600;

bool synced(QFileDevice& file)
{
    return file.flush() && ::fsync(file.handle()) == 0;
}

// Makes the renames and new names inside the folder survive a power loss.
bool syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    const bool done = ::fsync(fd) == 0;
    ::close(fd);
    return done;
}

// The names of the extended attributes of a file (by path, links followed, or by fd); nothing
// when they cannot be listed. A file system without extended attributes has none.
std::optional<QList<QByteArray>> attributeNames(const QByteArray& path, int fd)
{
    const auto list = [&](char* buffer, size_t size) {
        return fd < 0 ? ::listxattr(path.constData(), buffer, size)
                      : ::flistxattr(fd, buffer, size);
    };
    const ssize_t size = list(nullptr, 0);
    if (size < 0)
        return errno == ENOTSUP ? std::optional(QList<QByteArray>()) : std::nullopt;
    QByteArray names(size, '\0');
    if (list(names.data(), size_t(names.size())) != size)
        return std::nullopt;
    QList<QByteArray> split = names.split('\0');
    split.removeAll(QByteArray());
    return split;
}

std::optional<QByteArray> attributeValue(const QByteArray& path, const QByteArray& name)
{
    const ssize_t size = ::getxattr(path.constData(), name.constData(), nullptr, 0);
    if (size < 0)
        return std::nullopt;
    QByteArray value(size, '\0');
    if (::getxattr(path.constData(), name.constData(), value.data(), size_t(size)) != size)
        return std::nullopt;
    return value;
}

// Gives the new file `to` what the file at `from` is apart from its content: owner, group,
// extended attributes (POSIX ACLs are stored as such) and mode, and drops attributes it got
// that the old file has not (a folder's default ACL). False when any of it cannot be done.
bool carryOver(const QByteArray& from, const struct stat& old, int to)
{
    if (::fchown(to, old.st_uid, old.st_gid) != 0)
        return false;
    const std::optional<QList<QByteArray>> names = attributeNames(from, -1);
    const std::optional<QList<QByteArray>> given = attributeNames({}, to);
    if (!names || !given)
        return false;
    for (const QByteArray& name : *given) {
        if (!names->contains(name) && ::fremovexattr(to, name.constData()) != 0)
            return false;
    }
    for (const QByteArray& name : *names) {
        const std::optional<QByteArray> value = attributeValue(from, name);
        if (!value
            || ::fsetxattr(to, name.constData(), value->constData(), size_t(value->size()), 0) != 0)
            return false;
    }
    return ::fchmod(to, old.st_mode & 07777) == 0;
}

enum class Replaced { Done, Failed, NotBeside };

// Writes the new file beside the old one and renames it over it. `old` is the file replaced,
// or nothing for a new file.
Replaced replaceWhole(const QString& path, const QByteArray& bytes, const struct stat* old)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Replaced::NotBeside;
    if (old && !carryOver(QFile::encodeName(path), *old, file.handle())) {
        file.cancelWriting();
        return Replaced::NotBeside;
    }
    // A short count or a failed flush is a full disk or a size limit: Qt's commit() would take
    // the cut-short file for a finished one and put it in place of the old. commit() syncs too,
    // but goes on to the rename when the sync fails.
    if (file.write(bytes) != bytes.size() || !synced(file)) {
        file.cancelWriting();
        return Replaced::Failed;
    }
    return file.commit() ? Replaced::Done : Replaced::Failed;
}

// Writes a file of the state folder whole, readable by its owner only.
bool writeStateFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (::fchmod(file.handle(), ownerOnlyFile) != 0 || file.write(bytes) != bytes.size()
        || !synced(file)) {
        file.cancelWriting();
        return false;
    }
    return file.commit() && syncFolder(QFileInfo(path).path());
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

// Makes the locked, synced copy of the old content and its journal; false when either is missing.
bool prepareCopy(QFile& copy, const QString& stem, const QByteArray& old, const QByteArray& journal)
{
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerOnly))
        return false;
    if (::flock(copy.handle(), LOCK_EX) == 0 && copy.write(old) == old.size() && synced(copy)
        && QFile::rename(stem + partSuffix, stem + copySuffix)) {
        if (writeStateFile(stem + journalSuffix, journal))
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
    struct stat identity {};
    if (target.error() != QFileDevice::NoError || ::fstat(target.handle(), &identity) != 0
        || !makeStateFolder(backupFolder))
        return false;
    const WriteJournal journal{QFileInfo(path).absoluteFilePath(),
                               quint64(identity.st_dev),
                               quint64(identity.st_ino),
                               old.size(),
                               sha256(old),
                               bytes.size(),
                               sha256(bytes)};
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

const QByteArray journalHeader = "pelmora in-place write 1\n";
const QByteArray sumLabel = "sum ";

bool isSha256Hex(const QByteArray& text)
{
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// The text after `label` on the line at index, or nothing.
std::optional<QByteArray> fieldOf(const QList<QByteArray>& lines, qsizetype index,
                                  const QByteArray& label)
{
    if (index >= lines.size() || !lines[index].startsWith(label))
        return std::nullopt;
    return lines[index].mid(label.size());
}

std::optional<qint64> numberOf(const QByteArray& text)
{
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    return ok && number >= 0 ? std::optional(number) : std::nullopt;
}

// "<size> <hash>" as journal lines give them.
bool readSized(const std::optional<QByteArray>& field, qint64& size, QByteArray& hash)
{
    if (!field)
        return false;
    const QList<QByteArray> parts = field->split(' ');
    const std::optional<qint64> number = parts.size() == 2 ? numberOf(parts[0]) : std::nullopt;
    if (!number || !isSha256Hex(parts[1]))
        return false;
    size = *number;
    hash = parts[1];
    return true;
}

// The fields of a journal whose checksum has been checked; canonical form is checked by the
// caller, which writes them again and compares.
std::optional<WriteJournal> parseJournalBody(const QByteArray& body)
{
    if (!body.startsWith(journalHeader))
        return std::nullopt;
    QList<QByteArray> lines = body.mid(journalHeader.size()).split('\n');
    if (lines.size() != 6 || !lines.takeLast().isEmpty())
        return std::nullopt;
    const std::optional<QByteArray> device = fieldOf(lines, 0, "device ");
    const std::optional<QByteArray> inode = fieldOf(lines, 1, "inode ");
    const std::optional<QByteArray> target = fieldOf(lines, 4, "target ");
    if (!device || !inode || !target)
        return std::nullopt;
    WriteJournal journal;
    bool deviceOk = false, inodeOk = false;
    journal.device = device->toULongLong(&deviceOk);
    journal.inode = inode->toULongLong(&inodeOk);
    journal.target = QFile::decodeName(QByteArray::fromHex(*target));
    if (!deviceOk || !inodeOk || !QDir::isAbsolutePath(journal.target)
        || !readSized(fieldOf(lines, 2, "copy "), journal.copySize, journal.copyHash)
        || !readSized(fieldOf(lines, 3, "new "), journal.newSize, journal.newHash))
        return std::nullopt;
    return journal;
}

// The file a journal names, read as far as its target line goes even when the journal is not
// whole, for telling the writer; empty when that line is not there.
QString namedTarget(const QByteArray& bytes)
{
    const QByteArray label = "\ntarget ";
    const qsizetype start = bytes.indexOf(label);
    if (start < 0)
        return {};
    const qsizetype from = start + label.size();
    const qsizetype end = bytes.indexOf('\n', from);
    const QByteArray hex = bytes.mid(from, end < 0 ? -1 : end - from);
    const QByteArray name = QByteArray::fromHex(hex);
    return name.toHex() == hex ? QFile::decodeName(name) : QString();
}

// A journal is a few hundred bytes and a path; what is larger is not one.
QByteArray journalContent(const QString& path)
{
    constexpr qint64 largest = 64 * 1024;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(largest) : QByteArray();
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
bool settle(QFile& copy, KeptCopy& kept)
{
    const QString journalPath = copy.fileName().chopped(copySuffix.size()) + journalSuffix;
    if (!QFile::exists(journalPath))
        return true;
    const QByteArray bytes = journalContent(journalPath);
    kept = {copy.fileName(), namedTarget(bytes)};
    const std::optional<WriteJournal> journal = readWriteJournal(bytes);
    if (!journal)
        return false;
    const QByteArray old = copy.readAll();
    if (copy.error() != QFileDevice::NoError || old.size() != journal->copySize
        || sha256(old) != journal->copyHash)
        return false;
    QFile target(journal->target);
    if (!openSameFile(target, *journal))
        return false;
    if (!holdsNewContent(target, *journal) && !overwrite(target, old))
        return false;
    return QFile::remove(journalPath);
}

} // namespace

QString stateFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/pelmora");
}

bool makeStateFolder(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (!QDir().mkpath(QFileInfo(folder).path()))
        return false;
    if (::mkdir(path.constData(), ownerOnlyFolder) != 0 && errno != EEXIST)
        return false;
    struct stat made {};
    if (::stat(path.constData(), &made) != 0 || !S_ISDIR(made.st_mode))
        return false;
    // A folder made by an older version, or by hand, is closed too where it is the writer's.
    if ((made.st_mode & 07777) != ownerOnlyFolder && made.st_uid == ::geteuid())
        ::chmod(path.constData(), ownerOnlyFolder);
    return true;
}

bool writeFileSafely(const QString& path, const QByteArray& bytes, const QString& backupFolder)
{
    struct stat old {};
    const bool exists = ::stat(QFile::encodeName(path).constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return false;
    // Every name of a file with hard links must see the new content: only writing in place
    // does that.
    if (exists && old.st_nlink > 1)
        return writeInPlace(path, bytes, backupFolder);
    switch (replaceWhole(path, bytes, exists ? &old : nullptr)) {
    case Replaced::Done: return true;
    case Replaced::Failed: return false;
    case Replaced::NotBeside: break;
    }
    return exists && writeInPlace(path, bytes, backupFolder);
}

QByteArray writeJournalBytes(const WriteJournal& journal)
{
    const QByteArray body = journalHeader + "device " + QByteArray::number(journal.device)
                            + "\ninode " + QByteArray::number(journal.inode) + "\ncopy "
                            + QByteArray::number(journal.copySize) + ' ' + journal.copyHash
                            + "\nnew " + QByteArray::number(journal.newSize) + ' ' + journal.newHash
                            + "\ntarget " + QFile::encodeName(journal.target).toHex() + '\n';
    return body + sumLabel + sha256(body) + '\n';
}

std::optional<WriteJournal> readWriteJournal(const QByteArray& bytes)
{
    const qsizetype sumLine = bytes.lastIndexOf('\n' + sumLabel);
    if (sumLine < 0 || !bytes.endsWith('\n'))
        return std::nullopt;
    const QByteArray body = bytes.left(sumLine + 1);
    if (bytes.mid(body.size()) != sumLabel + sha256(body) + '\n')
        return std::nullopt;
    const std::optional<WriteJournal> journal = parseJournalBody(body);
    // Only the one spelling the writer gives: no leading zeros, signs or odd hex.
    if (!journal || writeJournalBytes(*journal) != bytes)
        return std::nullopt;
    return journal;
}

QList<KeptCopy> finishInterruptedWrites(const QString& backupFolder)
{
    const QDir folder(backupFolder);
    const QStringList patterns{QLatin1Char('*') + partSuffix, QLatin1Char('*') + copySuffix};
    QList<KeptCopy> kept;
    for (const QString& name : folder.entryList(patterns, QDir::Files)) {
        QFile copy(folder.filePath(name));
        if (!copy.open(QIODevice::ReadOnly) || ::flock(copy.handle(), LOCK_EX | LOCK_NB) != 0)
            continue;
        KeptCopy unsettled;
        if (name.endsWith(partSuffix) || settle(copy, unsettled))
            copy.remove();
        else
            kept.append(unsettled);
    }
    return kept;
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}
