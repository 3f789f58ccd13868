#include "storage/SafeWrite.h"

#include "storage/InPlaceWrite.h"
#include "storage/WholeFile.h"

#include <QFile>
#include <QList>

#include <cerrno>
#include <csignal>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

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

} // namespace

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
    const auto carry = [&](int descriptor) {
        return carryOver(QFile::encodeName(path), old, descriptor);
    };
    const Replacement replacement{exists ? PrepareFile(carry) : PrepareFile()};
    switch (replaceFile(path, contentWriter(bytes), replacement)) {
    case Replaced::Done: return true;
    case Replaced::Failed: return false;
    case Replaced::NotBeside: break;
    }
    return exists && writeInPlace(path, bytes, backupFolder);
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}
