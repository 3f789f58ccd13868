#include "platform/SafeWrite.h"
#include "platform/QtPlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QByteArray oldContent(600, 'o');
const QByteArray newContent(2000, 'n');
constexpr uid_t nobody = 65534;

// Runs body in a child process and gives its wait status.
int inChild(const std::function<int()>& body)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

// Drops root, whose group would still match root-owned folders.
bool becomeNobody()
{
    return setgroups(0, nullptr) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0;
}

void limitFileSize(rlim_t bytes)
{
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
}

QByteArray contentOf(const QString& path)
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

// A size limit stands in for a full disk: root may write past a real one's reserve.
TEST(SafeWrite, AFailedWriteLeavesTheOldFileWholeBesideItOrInPlace)
{
    struct Case {
        const char* name;
        bool inPlace; // run as a user who cannot create files beside the target
        rlim_t limit;
        bool written;
    };
    const Case cases[] = {
        {"beside, disk full", false, 1000, false},
        {"in place, fits", true, RLIM_INFINITY, true},
        {"in place, disk full", true, 1000, false},
    };
    for (const Case& c : cases) {
        LockedFolder disk;
        const int status = inChild([&] {
            if (c.inPlace && !becomeNobody())
                return 3;
            limitFileSize(c.limit);
            ignoreFileSizeSignal();
            return QtFiles(disk.backup).writeAll(disk.target, newContent) ? 0 : 1;
        });
        ASSERT_TRUE(WIFEXITED(status)) << c.name << ": ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), c.written ? 0 : 1) << c.name;
        EXPECT_EQ(contentOf(disk.target), c.written ? newContent : oldContent) << c.name;
        EXPECT_EQ(disk.backupFiles(), QStringList()) << c.name;
        EXPECT_EQ(disk.folderFiles(), QStringList{QStringLiteral("diary.htm")}) << c.name;
    }
}

// The program is killed in the middle of an in-place write (by the size limit's signal); the
// next start finds the copy and the journal and settles the file.
TEST(SafeWrite, AnInPlaceWriteCutShortIsSettledAtTheNextStart)
{
    struct Case {
        const char* name;
        bool finishedBeforeTheEnd; // the whole new content reached the file
        QByteArray settled;
    };
    const Case cases[] = {
        {"cut short: the old content comes back", false, oldContent},
        {"written whole: the new content stays", true, newContent},
    };
    for (const Case& c : cases) {
        LockedFolder disk;
        const int status = inChild([&] {
            if (!becomeNobody())
                return 3;
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            limitFileSize(1000);
            std::signal(SIGXFSZ, SIG_DFL);
            return QtFiles(disk.backup).writeAll(disk.target, newContent) ? 0 : 1;
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << c.name;
        ASSERT_EQ(WTERMSIG(status), SIGXFSZ) << c.name;
        ASSERT_EQ(contentOf(disk.target), newContent.left(1000)) << c.name;
        ASSERT_EQ(disk.backupFiles().size(), 2) << c.name;
        if (c.finishedBeforeTheEnd) {
            QFile file(disk.target);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_EQ(file.write(newContent), newContent.size());
        }

        finishInterruptedWrites(disk.backup);

        EXPECT_EQ(contentOf(disk.target), c.settled) << c.name;
        EXPECT_EQ(disk.backupFiles(), QStringList()) << c.name;
    }
}

} // namespace
