#include "recovery/RecoveryStore.h"

#include "recovery/RecoveryData.h"
#include "storage/StateFolder.h"
#include "storage/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace recovery {

namespace {

const QString fileSuffix = QStringLiteral(".recovery");
const QString lockSuffix = QStringLiteral(".lock");

QString lockPathOf(const QString& path)
{
    return path + lockSuffix;
}

// A lock is taken over only from an owner that is no longer running, however old it is.
std::unique_ptr<QLockFile> lockFor(const QString& path)
{
    auto lock = std::make_unique<QLockFile>(lockPathOf(path));
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

RecoveryStore::RecoveryStore(const QString& folder)
    : folder_(folder),
      ownPath_(folder + u'/' + QUuid::createUuid().toString(QUuid::WithoutBraces) + fileSuffix),
      ownLock_(lockPathOf(ownPath_))
{
    ownLock_.setStaleLockTime(0);
}

bool RecoveryStore::lockOwn()
{
    if (ownLock_.isLocked())
        return true;
    if (!makeStateFolder(folder_) || !ownLock_.tryLock(0))
        return false;
    QFile::setPermissions(lockPathOf(ownPath_), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

bool RecoveryStore::write(const RecoveryData& data, quint64 generation)
{
    const std::lock_guard guard(mutex_);
    if (generation < generation_)
        return true;
    generation_ = generation;
    if (!lockOwn())
        return false;
    // The file holds the writer's unsaved text: only the writer may read it.
    return replaceOwnerOnlyFile(
        ownPath_, [&](QIODevice& file) { return writeRecoveryData(file, data); },
        FolderSync::BestEffort);
}

void RecoveryStore::remove(quint64 generation)
{
    const std::lock_guard guard(mutex_);
    if (generation < generation_)
        return;
    generation_ = generation;
    QFile::remove(ownPath_);
    ownLock_.unlock();
}

void RecoveryStore::remove()
{
    const std::lock_guard guard(mutex_);
    QFile::remove(ownPath_);
    ownLock_.unlock();
}

void RecoveryStore::removeFolderIfEmpty()
{
    const std::lock_guard guard(mutex_);
    QDir().rmdir(folder_);
}

std::vector<Leftover> RecoveryStore::claimLeftovers()
{
    const std::lock_guard guard(mutex_);
    std::vector<Leftover> leftovers;
    const QFileInfoList files =
        QDir(folder_).entryInfoList({u'*' + fileSuffix}, QDir::Files, QDir::Time);
    for (const QFileInfo& file : files) {
        const QString path = file.absoluteFilePath();
        if (path == ownPath_)
            continue;
        std::unique_ptr<QLockFile> lock = lockFor(path);
        if (lock->tryLock(0))
            leftovers.push_back({path, std::move(lock)});
    }
    removeOrphanLocks();
    return leftovers;
}

// The lock of an instance that was gone before its first file was in place.
void RecoveryStore::removeOrphanLocks()
{
    const QStringList locks = {u'*' + fileSuffix + lockSuffix};
    for (const QFileInfo& file : QDir(folder_).entryInfoList(locks, QDir::Files)) {
        QString path = file.absoluteFilePath();
        path.chop(lockSuffix.size());
        if (path != ownPath_ && !QFile::exists(path))
            lockFor(path)->tryLock(0); // taken from a dead owner, then given up: the file goes
    }
}

bool RecoveryStore::adopt(Leftover& leftover)
{
    const std::lock_guard guard(mutex_);
    if (!lockOwn())
        return false;
    QFile::remove(ownPath_);
    const bool moved = QFile::rename(leftover.path, ownPath_);
    leftover.lock->unlock();
    syncFolder(folder_);
    return moved;
}

void RecoveryStore::discard(Leftover& leftover)
{
    const std::lock_guard guard(mutex_);
    QFile::remove(leftover.path);
    leftover.lock->unlock();
}

QString RecoveryStore::moveAside(Leftover& leftover)
{
    const std::lock_guard guard(mutex_);
    const QString aside = folder_ + QStringLiteral("/damaged");
    QDir().mkdir(aside, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString moved = aside + u'/' + QFileInfo(leftover.path).fileName();
    const bool done = QFile::rename(leftover.path, moved);
    leftover.lock->unlock();
    syncFolder(folder_);
    return done ? moved : QString();
}

} // namespace recovery
