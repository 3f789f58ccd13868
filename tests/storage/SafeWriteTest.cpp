#include "storage/SafeWrite.h"
#include "LockedFolder.h"
#include "storage/InPlaceWrite.h"
#include "storage/StateFolder.h"
#include "storage/WriteJournal.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QMap>
#include <QProcess>

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

struct stat statusOf(const QString& path)
{
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status;
}

mode_t modeOf(const QString& path)
{
    return statusOf(path).st_mode & 07777;
}

ino_t inodeOf(const QString& path)
{
    return statusOf(path).st_ino;
}

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
            return writeFileSafely(disk.target, newContent, disk.backup) ? 0 : 1;
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
        const int status = tearDiary(disk);
        ASSERT_TRUE(WIFSIGNALED(status)) << c.name;
        ASSERT_EQ(WTERMSIG(status), SIGXFSZ) << c.name;
        ASSERT_EQ(contentOf(disk.target), newContent.left(1000)) << c.name;
        ASSERT_EQ(disk.backupFiles().size(), 2) << c.name;
        giveToRoot(disk.state.path()); // the writer is root: the state folder is its own
        // They name the diary and hold its text: for the writer's eyes only.
        EXPECT_EQ(modeOf(disk.backup), 0700u) << c.name;
        for (const QString& name : disk.backupFiles())
            EXPECT_EQ(modeOf(disk.backup + u'/' + name), 0600u) << c.name;
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

// What a file is besides its content.
struct Identity {
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0;
    QMap<QByteArray, QByteArray> attributes;
    bool operator==(const Identity&) const = default;
};

Identity identityOf(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const struct stat status = statusOf(path);
    Identity identity{status.st_uid, status.st_gid, status.st_mode & 07777, {}};
    QByteArray names(4096, '\0');
    names.resize(std::max<ssize_t>(0, ::listxattr(name.constData(), names.data(), 4096)));
    for (const QByteArray& attribute : names.split('\0')) {
        QByteArray value(4096, '\0');
        const ssize_t size =
            ::getxattr(name.constData(), attribute.constData(), value.data(), size_t(value.size()));
        if (!attribute.isEmpty())
            identity.attributes.insert(attribute, value.left(size));
    }
    return identity;
}

// A POSIX ACL as the kernel keeps it: owner rw, user `user` r, group r, mask r, others none.
QByteArray aclGranting(uint32_t user)
{
    const struct {
        uint16_t tag, permissions;
        uint32_t id;
    } entries[] = {{0x01, 6, ~0u}, {0x02, 4, user}, {0x04, 4, ~0u}, {0x10, 4, ~0u}, {0x20, 0, ~0u}};
    QByteArray acl("\x02\0\0\0", 4);
    for (const auto& entry : entries)
        acl.append(reinterpret_cast<const char*>(&entry), sizeof entry);
    return acl;
}

bool setAttribute(const QString& path, const char* name, const QByteArray& value)
{
    return ::setxattr(QFile::encodeName(path).constData(), name, value.constData(),
                      size_t(value.size()), 0)
           == 0;
}

TEST(SafeWrite, AReplacedFileKeepsItsOwnerModeAclAndAttributes)
{
    struct Case {
        const char* name;
        std::function<bool(const QString& folder, const QString& file)> prepare;
    };
    const Case cases[] = {
        {"owner, ACL and user attribute",
         [](const QString&, const QString& file) {
             return setAttribute(file, "user.pelmora.note", "日記")
                    && setAttribute(file, "system.posix_acl_access", aclGranting(1234))
                    && ::chown(QFile::encodeName(file).constData(), nobody, nobody) == 0;
         }},
        {"no ACL of its own in a folder with a default ACL",
         [](const QString& folder, const QString&) {
             return setAttribute(folder, "system.posix_acl_default", aclGranting(1234));
         }},
        {"odd mode", [](const QString&, const QString& file) {
             return ::chmod(QFile::encodeName(file).constData(), 0604) == 0;
         }}};
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("diary.htm"));
        ASSERT_TRUE(writeFileSafely(path, oldContent, dir.filePath(QStringLiteral("state"))));
        ASSERT_TRUE(c.prepare(dir.path(), path)) << c.name;
        const Identity before = identityOf(path);
        const ino_t oldInode = inodeOf(path);

        ASSERT_TRUE(writeFileSafely(path, newContent, dir.filePath(QStringLiteral("state"))));

        EXPECT_EQ(contentOf(path), newContent) << c.name;
        EXPECT_NE(inodeOf(path), oldInode) << c.name << ": written beside";
        EXPECT_TRUE(identityOf(path) == before) << c.name;
        EXPECT_EQ(identityOf(path).attributes.keys(), before.attributes.keys()) << c.name;
    }
}

// Every name of the file sees the new text; the write in place leaves nothing behind.
TEST(SafeWrite, AFileWithHardLinksIsWrittenInPlaceForEveryName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diary.htm"));
    const QString other = dir.filePath(QStringLiteral("link.htm"));
    const QString state = dir.filePath(QStringLiteral("state"));
    ASSERT_TRUE(writeFileSafely(path, oldContent, state));
    ASSERT_TRUE(QFile::link(path, dir.filePath(QStringLiteral("symlink.htm"))));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);

    ASSERT_TRUE(writeFileSafely(dir.filePath(QStringLiteral("symlink.htm")), newContent, state));

    EXPECT_EQ(contentOf(path), newContent);
    EXPECT_EQ(contentOf(other), newContent);
    EXPECT_EQ(inodeOf(path), inodeOf(other));
    EXPECT_EQ(QDir(state).entryList(QDir::Files), QStringList());
}

// The sync is what makes the new content safe: a disk that fails it fails the write, beside the
// file or in place, and the old file stays as it was.
TEST(SafeWrite, AWriteWhoseSyncFailsIsAFailedWrite)
{
    for (const bool inPlace : {false, true}) {
        LockedFolder disk;
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(FAILING_SYNC));
        child.setProcessEnvironment(environment);
        if (inPlace)
            child.setChildProcessModifier([] {
                if (!becomeNobody())
                    _exit(3);
            });
        child.start(QStringLiteral(START_CHILD), {QStringLiteral("write"), disk.target, disk.backup,
                                                  QString::number(newContent.size())});
        ASSERT_TRUE(child.waitForFinished(20000)) << inPlace;

        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << inPlace;
        EXPECT_EQ(child.exitCode(), 1) << inPlace;
        EXPECT_EQ(contentOf(disk.target), oldContent) << inPlace;
        EXPECT_EQ(disk.folderFiles(), QStringList{QStringLiteral("diary.htm")}) << inPlace;
        EXPECT_EQ(disk.backupFiles(), QStringList()) << inPlace;
    }
}

TEST(SafeWrite, TheStateFolderIsClosedToOthersWhoeverMadeIt)
{
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("state/pelmora"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                  | QFile::ReadOther | QFile::ExeOther));
    EXPECT_TRUE(makeStateFolder(folder));
    EXPECT_EQ(modeOf(folder), 0700u);
    const QString aFile = home.filePath(QStringLiteral("state/file"));
    ASSERT_TRUE(writeFileSafely(aFile, "x", folder));
    EXPECT_FALSE(makeStateFolder(aFile));
}

// The state folder and every folder above it up to a shared sticky folder (as /tmp is) must be
// the writer's (those above may be root's) and closed to others' writing; a folder that fails is
// refused as it is, never changed.
TEST(SafeWrite, AStateFolderOthersMayWriteToIsRefusedAndLeftAsItIs)
{
    struct Case {
        const char* name;
        mode_t parentMode;
        mode_t folderMode;
        uid_t folderOwner;
        bool trusted;
    };
    const Case cases[] = {
        {"own, closed", 0700, 0700, 0, true},
        {"in a shared sticky folder", 01777, 0700, 0, true},
        {"open to all", 0700, 0777, 0, false},
        {"open to the group", 0700, 0770, 0, false},
        {"another user's", 01777, 0700, nobody, false},
        {"under a folder open to all", 0777, 0700, 0, false},
    };
    for (const Case& c : cases) {
        QTemporaryDir home;
        const QString parent = home.filePath(QStringLiteral("state"));
        const QString folder = parent + QStringLiteral("/pelmora");
        ASSERT_TRUE(QDir().mkpath(folder));
        const QByteArray path = QFile::encodeName(folder);
        ASSERT_EQ(chown(path.constData(), c.folderOwner, c.folderOwner), 0);
        ASSERT_EQ(chmod(path.constData(), c.folderMode), 0);
        ASSERT_EQ(chmod(QFile::encodeName(parent).constData(), c.parentMode), 0);
        EXPECT_EQ(folderDistrust(folder).isEmpty(), c.trusted) << c.name;
        EXPECT_EQ(makeStateFolder(folder), c.trusted) << c.name;
        EXPECT_EQ(modeOf(folder), c.folderMode) << c.name;
    }
}

// The temporary a save writes beside the file fits where the file's name fits; one a killed save
// left is removed by the next save, but only the program's own by its name and owner, and not
// while a save still writes it.
TEST(SafeWrite, ALongNameSavesAndOnlyOwnLeftoverTemporariesGo)
{
    QTemporaryDir home;
    const QString longName = QString(83, QChar(u'日')) + QStringLiteral("ab.htm"); // 255 bytes
    ASSERT_EQ(QFile::encodeName(longName).size(), 255);
    const QString diary = home.filePath(longName);
    const QString leftover = home.filePath(QStringLiteral(".pelmora-abcdefghijkl.tmp"));
    const QString theirs = home.filePath(QStringLiteral(".pelmora-theirs000000.tmp"));
    const QString busy = home.filePath(QStringLiteral(".pelmora-busy00000000.tmp"));
    const QString alike = home.filePath(longName.left(10) + QStringLiteral(".htm.AbCdEf"));
    for (const QString& path : {leftover, theirs, busy, alike}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("partial") == 7);
    }
    ASSERT_EQ(chown(QFile::encodeName(theirs).constData(), nobody, nobody), 0);
    QFile writing(busy);
    ASSERT_TRUE(writing.open(QIODevice::ReadOnly) && flock(writing.handle(), LOCK_EX) == 0);

    ASSERT_TRUE(writeFileSafely(diary, "saved", home.path()));

    EXPECT_EQ(contentOf(diary), "saved");
    EXPECT_FALSE(QFileInfo::exists(leftover));
    for (const QString& path : {theirs, busy, alike})
        EXPECT_EQ(contentOf(path), "partial") << path.toStdString();
}

TEST(WriteJournal, ReadsBackWhatWasWrittenAndNothingElse)
{
    const WriteJournal journal{QStringLiteral("/media/w/日記\n2024.htm"),
                               2049,
                               1234567,
                               600,
                               QByteArray(64, 'a'),
                               2000,
                               QByteArray(64, '0')};
    const QByteArray bytes = writeJournalBytes(journal);
    EXPECT_EQ(readWriteJournal(bytes), journal);

    const auto replaced = [&](const QByteArray& from, const QByteArray& to) {
        return QByteArray(bytes).replace(from, to);
    };
    const std::pair<const char*, QByteArray> refused[] = {
        {"cut by 6 bytes", bytes.chopped(6)},
        {"longer", bytes + '\n'},
        {"a field changed", replaced("inode 1234567", "inode 1234568")},
        {"the checksum changed", replaced("\nsum ", "\nsum 0")},
        {"empty", QByteArray()},
    };
    for (const auto& [name, changed] : refused)
        EXPECT_FALSE(readWriteJournal(changed).has_value()) << name;

    // Well-formed and with a checksum that holds, but not as the writer spells a journal.
    for (const QByteArray& oddField :
         {QByteArray("inode 01234567"), QByteArray("inode +1234567"), QByteArray("inode -1")}) {
        const QByteArray changed = replaced("inode 1234567", oddField);
        const QByteArray body = changed.left(changed.lastIndexOf("sum "));
        const QByteArray resummed =
            body + "sum " + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex()
            + '\n';
        EXPECT_FALSE(readWriteJournal(resummed).has_value()) << oddField.constData();
    }
}

} // namespace
