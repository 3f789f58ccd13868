#include "storage/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool synced(QFileDevice& file)
{
    return file.flush() && ::fsync(file.handle()) == 0;
}

// The folder the file was renamed into: a symbolic link's target is what QSaveFile replaces.
QString folderOf(const QString& path)
{
    const QString real = QFileInfo(path).canonicalFilePath();
    return QFileInfo(real.isEmpty() ? path : real).absolutePath();
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

WriteContent contentWriter(const QByteArray& bytes)
{
    return [bytes](QIODevice& device) { return device.write(bytes) == bytes.size(); };
}

Replaced replaceFile(const QString& path, const WriteContent& write, const Replacement& how)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Replaced::NotBeside;
    if (how.prepare && !how.prepare(file.handle())) {
        file.cancelWriting();
        return Replaced::NotBeside;
    }
    // A short count or a failed flush is a full disk or a size limit: Qt's commit() would take
    // the cut-short file for a finished one and put it in place of the old. commit() syncs too,
    // but goes on to the rename when the sync fails.
    if (!write(file) || !synced(file)) {
        file.cancelWriting();
        return Replaced::Failed;
    }
    if (!file.commit())
        return Replaced::Failed;
    const bool folderSynced = syncFolder(folderOf(path));
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
