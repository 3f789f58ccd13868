#include "storage/StateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t ownerOnlyFolder = 0700;

// What folderDistrust gives for the folder as stat found it; empty when it passes. The folder
// itself must be the writer's; those above it may be root's too.
QString folderProblem(const QString& path, const struct stat& found, bool itself)
{
    const uid_t me = ::geteuid();
    if (!S_ISDIR(found.st_mode))
        return QStringLiteral("%1 はフォルダーではありません。").arg(path);
    if (found.st_uid != me && (itself || found.st_uid != 0))
        return QStringLiteral("フォルダー %1 は別のユーザー（UID %2）のものです。")
            .arg(path)
            .arg(found.st_uid);
    if ((found.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return QStringLiteral("フォルダー %1 には、持ち主のほかにも書き込めます（アクセス権 %2）。")
            .arg(path)
            .arg(found.st_mode & 07777, 4, 8, QChar(u'0'));
    return {};
}

// The deepest part of the path that is there, with its links resolved.
QString existingPart(const QString& folder)
{
    QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    while (!QFileInfo::exists(path) && path != u'/')
        path = QFileInfo(path).path();
    const QString real = QFileInfo(path).canonicalFilePath();
    return real.isEmpty() ? path : real;
}

bool isSharedStickyFolder(const struct stat& found)
{
    return found.st_uid == 0 && (found.st_mode & S_ISVTX) != 0;
}

// Another user's file, a link, or one others may use, in a folder of the program's own files.
bool isForeign(const QString& name, const struct stat& found)
{
    if (S_ISSOCK(found.st_mode) && found.st_uid == ::geteuid())
        return false; // the single-instance socket, when it is kept here
    // A lock file is made with the umask's mode and closed a moment later.
    const mode_t othersMayNot = name.endsWith(u".lock") ? (S_IWGRP | S_IWOTH) : 077;
    return !S_ISREG(found.st_mode) || found.st_uid != ::geteuid() || found.st_nlink != 1
           || (found.st_mode & othersMayNot) != 0;
}

} // namespace

QString stateFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/pelmora");
}

QString folderDistrust(const QString& folder)
{
    const QString home = QFileInfo(QDir::homePath()).canonicalFilePath();
    QString path = existingPart(folder);
    bool itself = QFileInfo::exists(folder);
    for (;; itself = false) {
        struct stat found {};
        if (::stat(QFile::encodeName(path).constData(), &found) != 0)
            return QStringLiteral("フォルダー %1 を調べられません。").arg(path);
        if (!itself && S_ISDIR(found.st_mode) && isSharedStickyFolder(found))
            return {};
        const QString problem = folderProblem(path, found, itself);
        if (!problem.isEmpty() || path == home || path == u'/')
            return problem;
        path = QFileInfo(path).path();
    }
}

bool makeStateFolder(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (!folderDistrust(folder).isEmpty() || !QDir().mkpath(QFileInfo(folder).path()))
        return false;
    if (::mkdir(path.constData(), ownerOnlyFolder) != 0 && errno != EEXIST)
        return false;
    // Looked at again: someone else may have made it first.
    if (!folderDistrust(folder).isEmpty())
        return false;
    struct stat made {};
    if (::stat(path.constData(), &made) != 0)
        return false;
    // A folder made by an older version, or by hand, that others may read is closed.
    if ((made.st_mode & 07777) != ownerOnlyFolder)
        ::chmod(path.constData(), ownerOnlyFolder);
    return true;
}

QStringList setAsideForeignFiles(const QString& folder)
{
    const QDir dir(folder);
    const QString aside = dir.filePath(QStringLiteral("damaged"));
    QStringList set;
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString path = dir.filePath(name);
        struct stat found {};
        if (::lstat(QFile::encodeName(path).constData(), &found) != 0 || S_ISDIR(found.st_mode)
            || !isForeign(name, found))
            continue;
        dir.mkdir(aside, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString moved = aside + u'/' + name;
        struct stat taken {};
        const QByteArray to = QFile::encodeName(moved);
        const bool done = ::lstat(to.constData(), &taken) != 0
                          && ::rename(QFile::encodeName(path).constData(), to.constData()) == 0;
        set.append(done ? moved : path);
    }
    return set;
}
