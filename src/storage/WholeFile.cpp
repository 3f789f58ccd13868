#include "storage/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool synced(QFileDevice& file)
{
    return file.flush() && ::fsync(file.handle()) == 0;
}

// The new content of a file is written into a temporary file beside it, named so that it fits
// wherever the file's own name fits (a name of 255 bytes too) and so that one left by a program
// that was killed is known as this program's own: ".pelmora-<random>.tmp". It stays locked
// (flock) until it is renamed over the file or removed.
const QString temporaryPrefix = QStringLiteral(".pelmora-");
const QString temporarySuffix = QStringLiteral(".tmp");

// What a file replaced through a symbolic link is: the link's target, so the link stays a link.
QString linkTarget(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return info.absoluteFilePath();
    const QString real = info.canonicalFilePath();
    return real.isEmpty() ? info.symLinkTarget() : real;
}

// Makes a new temporary file in the folder, locked; its descriptor, or -1.
int makeTemporary(const QString& folder, QString& name)
{
    constexpr int attempts = 100;
    for (int i = 0; i < attempts; ++i) {
        QByteArray random(12, '\0');
        for (char& c : random)
            c = "abcdefghijklmnopqrstuvwxyz0123456789"[QRandomGenerator::global()->bounded(36)];
        name = folder + u'/' + temporaryPrefix + QLatin1StringView(random) + temporarySuffix;
        // Made with the default mode, as a new file would be.
        const int fd = ::open(QFile::encodeName(name).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 && ::flock(fd, LOCK_EX) == 0)
            return fd;
        if (fd >= 0) {
            ::close(fd);
            ::unlink(QFile::encodeName(name).constData());
            return -1;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

// Temporary files that a program killed while writing left in the folder: the writer's own,
// regular and not locked by a write still running.
void removeLeftoverTemporaries(const QString& folder)
{
    const QDir dir(folder);
    const QStringList pattern{temporaryPrefix + u'*' + temporarySuffix};
    for (const QString& name : dir.entryList(pattern, QDir::Files | QDir::Hidden)) {
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        struct stat found {};
        if (fd < 0)
            continue;
        if (::fstat(fd, &found) == 0 && S_ISREG(found.st_mode) && found.st_uid == ::geteuid()
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
        ::close(fd);
    }
}

// The replaced file's permissions, or the default ones of a new file.
bool keepMode(const QString& target, int fd)
{
    struct stat old {};
    if (::stat(QFile::encodeName(target).constData(), &old) != 0)
        return true;
    return ::fchmod(fd, old.st_mode & 0777) == 0;
}

} // namespace

std::optional<QByteArray> readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

bool openOwnFile(QFile& file)
{
    const int fd =
        ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat found {};
    if (fd < 0)
        return false;
    if (::fstat(fd, &found) != 0 || !S_ISREG(found.st_mode) || found.st_uid != ::geteuid()
        || found.st_nlink != 1 || (found.st_mode & 077) != 0
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

std::optional<QByteArray> readOwnFile(const QString& path)
{
    QFile file(path);
    if (!openOwnFile(file))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

WriteContent contentWriter(const QByteArray& bytes)
{
    return [bytes](QIODevice& device) { return device.write(bytes) == bytes.size(); };
}

Replaced replaceFile(const QString& path, const WriteContent& write, const Replacement& how)
{
    const QString target = linkTarget(path);
    const QString folder = QFileInfo(target).absolutePath();
    // A file the writer may not write is not replaced either.
    const QByteArray name = QFile::encodeName(target);
    if (::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        return Replaced::NotBeside;
    removeLeftoverTemporaries(folder);
    QString temporary;
    const int fd = makeTemporary(folder, temporary);
    if (fd < 0)
        return Replaced::NotBeside;
    QFile file(temporary);
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        QFile::remove(temporary);
        return Replaced::NotBeside;
    }
    if (!(how.prepare ? how.prepare(fd) : keepMode(target, fd))) {
        QFile::remove(temporary);
        return Replaced::NotBeside;
    }
    // A short count or a failed flush is a full disk or a size limit: the cut-short file must
    // never take the old one's place.
    if (!write(file) || !synced(file)
        || ::rename(QFile::encodeName(temporary).constData(), name.constData()) != 0) {
        QFile::remove(temporary);
        return Replaced::Failed;
    }
    file.close();
    const bool folderSynced = syncFolder(folder);
    return folderSynced || how.folderSync == FolderSync::BestEffort ? Replaced::Done
                                                                    : Replaced::Failed;
}

bool replaceOwnerOnlyFile(const QString& path, const WriteContent& write, FolderSync folderSync)
{
    const auto ownerOnly = [](int descriptor) {
        return ::fchmod(descriptor, S_IRUSR | S_IWUSR) == 0;
    };
    return replaceFile(path, write, {ownerOnly, folderSync}) == Replaced::Done;
}

bool syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    const bool done = ::fsync(fd) == 0;
    ::close(fd);
    return done;
}
