#pragma once

// A diary that can be written only in place, and the means to write it from a child process
// as another user, under a size limit, or killed half-way.

#include "storage/SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

inline const QByteArray oldContent(600, 'o');
inline const QByteArray newContent(2000, 'n');
constexpr uid_t nobody = 65534;

// Runs body in a child process and gives its wait status.
inline int inChild(const std::function<int()>& body)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

// Drops root, whose group would still match root-owned folders.
inline bool becomeNobody()
{
    return setgroups(0, nullptr) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0;
}

// Gives the folder and what it holds to root (the writer in these tests) or to "nobody"; links
// are given, not followed.
inline void giveTo(const QString& folder, uid_t user)
{
    lchown(QFile::encodeName(folder).constData(), user, user);
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        lchown(QFile::encodeName(dir.filePath(name)).constData(), user, user);
}
inline void giveToRoot(const QString& stateHome)
{
    giveTo(stateHome, 0);
    giveTo(stateHome + QStringLiteral("/pelmora"), 0);
}
// The files only: the folder stays the writer's.
inline void giveToNobody(const QString& folder)
{
    giveTo(folder, nobody);
    lchown(QFile::encodeName(folder).constData(), 0, 0);
}

inline void limitFileSize(rlim_t bytes)
{
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
}

inline QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// A diary in a folder that the user "nobody" may not create files in, a file that user may
// write, and a state folder for the copies.
struct LockedFolder {
    QTemporaryDir folder;
    QTemporaryDir state;
    QString target = folder.filePath(QStringLiteral("diary.htm"));
    QString backup = state.filePath(QStringLiteral("pelmora"));

    LockedFolder()
    {
        QFile file(target);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(oldContent) == oldContent.size());
        file.close();
        EXPECT_EQ(chown(QFile::encodeName(target).constData(), nobody, nobody), 0);
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                 | QFile::ReadOther | QFile::ExeOther);
        EXPECT_EQ(chown(QFile::encodeName(state.path()).constData(), nobody, nobody), 0);
    }

    QStringList backupFiles() const { return QDir(backup).entryList(QDir::Files); }
    QStringList folderFiles() const { return QDir(folder.path()).entryList(QDir::Files); }
};

// Kills a write in place of the diary half-way, as the size limit's signal does: the diary is
// left torn (the first 1000 bytes new) with its copy and journal in the state folder.
inline int tearDiary(const LockedFolder& disk)
{
    return inChild([&] {
        if (!becomeNobody())
            return 3;
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        limitFileSize(1000);
        std::signal(SIGXFSZ, SIG_DFL);
        return writeFileSafely(disk.target, newContent, disk.backup) ? 0 : 1;
    });
}
