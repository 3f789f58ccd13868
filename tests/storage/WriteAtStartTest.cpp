#include "LockedFolder.h"
#include "recovery/RecoveryData.h"
#include "storage/WriteJournal.h"
#include "support/ChildEnvironment.h"

#include <QProcess>
#include <QUuid>

namespace {

struct Started {
    bool ended = false; // by itself, not by a signal
    int exitCode = -1;
    QString output; // the message boxes the program showed
};

// Starts the program as the writer does, with the state folder in stateHome.
Started startProgram(const QString& stateHome, const QStringList& arguments,
                     rlim_t sizeLimit = RLIM_INFINITY)
{
    QTemporaryDir config;
    QProcess child;
    child.setProcessEnvironment(childEnvironment(stateHome, config.path()));
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.setChildProcessModifier([sizeLimit] { limitFileSize(sizeLimit); });
    child.start(QStringLiteral(START_CHILD), arguments);
    const bool finished = child.waitForFinished(30000);
    if (!finished) {
        child.kill();
        child.waitForFinished();
    }
    return {finished && child.exitStatus() == QProcess::NormalExit, child.exitCode(),
            QString::fromUtf8(child.readAllStandardOutput())};
}

QString pathOf(const LockedFolder& disk, const char* suffix)
{
    for (const QString& name : disk.backupFiles()) {
        if (name.endsWith(QLatin1String(suffix)))
            return disk.backup + u'/' + name;
    }
    return {};
}

bool putContent(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A program killed in the middle of a write in place left the diary torn; the next start puts
// the old content back, unless the journal or the copy is not what the write left, or the
// journal names another file: then nothing is touched and the writer is told where the copy is.
TEST(WriteAtStart, ATornDiaryIsRepairedOnlyFromAWholeJournalAndItsOwnCopy)
{
    struct Case {
        const char* name;
        std::function<bool(const LockedFolder&, const QString& other)> spoil;
        bool repaired;
    };
    const Case cases[] = {
        {"whole: repaired",
         [](const LockedFolder& disk, const QString&) {
             // A copy a program had not finished making goes too.
             const QString part = disk.backup + QStringLiteral("/0123.part");
             return putContent(part, "half a copy")
                    && QFile::setPermissions(part, QFile::ReadOwner | QFile::WriteOwner);
         },
         true},
        {"journal cut by 6 bytes",
         [](const LockedFolder& disk, const QString&) {
             return QFile::resize(pathOf(disk, ".journal"),
                                  QFileInfo(pathOf(disk, ".journal")).size() - 6);
         },
         false},
        {"journal naming another file",
         [](const LockedFolder& disk, const QString& other) {
             const QString path = pathOf(disk, ".journal");
             std::optional<WriteJournal> journal = readWriteJournal(contentOf(path));
             if (!journal)
                 return false;
             journal->target = other;
             return putContent(path, writeJournalBytes(*journal));
         },
         false},
        {"copy changed",
         [](const LockedFolder& disk, const QString&) {
             return putContent(pathOf(disk, ".old"), QByteArray(oldContent).replace(7, 1, "x"));
         },
         false},
    };
    for (const Case& c : cases) {
        LockedFolder disk;
        const QString other = disk.folder.filePath(QStringLiteral("other.htm"));
        ASSERT_TRUE(putContent(other, "another diary"));
        const int status = tearDiary(disk);
        ASSERT_TRUE(WIFSIGNALED(status)) << c.name;
        giveToRoot(disk.state.path()); // the writer is root: the state folder is its own
        ASSERT_TRUE(c.spoil(disk, other)) << c.name;
        const QString copy = pathOf(disk, ".old");
        const QStringList left = disk.backupFiles();
        const QString named =
            c.name == std::string("journal naming another file") ? other : disk.target;

        const Started run = startProgram(disk.state.path(), {});

        ASSERT_TRUE(run.ended) << c.name;
        EXPECT_EQ(run.exitCode, 0) << c.name;
        EXPECT_EQ(contentOf(other), "another diary") << c.name;
        if (c.repaired) {
            EXPECT_EQ(contentOf(disk.target), oldContent) << c.name;
            EXPECT_EQ(disk.backupFiles(), QStringList()) << c.name;
            EXPECT_EQ(run.output, QString()) << c.name;
            continue;
        }
        EXPECT_EQ(contentOf(disk.target), newContent.left(1000)) << c.name;
        EXPECT_EQ(disk.backupFiles(), left) << c.name;
        // One warning, after the window is up, naming the copy and the file.
        EXPECT_EQ(run.output.count(QStringLiteral("MESSAGE")), 1) << c.name;
        EXPECT_TRUE(run.output.startsWith(QStringLiteral("MESSAGE 2\n"))) << c.name;
        EXPECT_TRUE(run.output.contains(QStringLiteral("写し: ") + copy)) << c.name;
        EXPECT_TRUE(run.output.contains(QStringLiteral("ファイル: ") + named)) << c.name;
    }
}

// Past the file-size limit a save fails like any failed write: told, and the program goes on.
TEST(WriteAtStart, ASaveOverTheFileSizeLimitIsToldAndTheProgramGoesOn)
{
    QTemporaryDir home;
    const QString diary = home.filePath(QStringLiteral("diary.htm"));
    const QByteArray old(5000, 'a');
    ASSERT_TRUE(putContent(diary, old));

    const Started run = startProgram(home.path(), {QStringLiteral("save"), diary}, 1000);

    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains(QStringLiteral("MESSAGE 3\nﾌｧｲﾙ ") + diary
                                    + QStringLiteral(" を作成できません.\nEND\n")))
        << run.output.toStdString();
    EXPECT_EQ(contentOf(diary), old);
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{QStringLiteral("diary.htm")});
}

// What another user, knowing only what stat shows of the diary, puts in the state folder to
// have the next start write `text` over it: a copy and a journal that describe it.
bool forgeWrite(const QString& folder, const QString& diary, const QByteArray& text)
{
    struct stat found {};
    if (stat(QFile::encodeName(diary).constData(), &found) != 0)
        return false;
    const WriteJournal journal{diary,         quint64(found.st_dev), quint64(found.st_ino),
                               text.size(),   sha256Hex(text),       1,
                               sha256Hex("x")};
    const QString stem = folder + u'/' + QUuid::createUuid().toString(QUuid::Id128);
    return putContent(stem + QStringLiteral(".old"), text)
           && putContent(stem + QStringLiteral(".journal"), writeJournalBytes(journal));
}

// The same, with the journal a link to one kept elsewhere.
bool forgeLinkedJournal(const QString& folder, const QString& diary, const QByteArray& text)
{
    const QString elsewhere = QFileInfo(folder).path() + QStringLiteral("/elsewhere");
    if (!QDir().mkpath(elsewhere) || !forgeWrite(elsewhere, diary, text))
        return false;
    for (const QString& name : QDir(elsewhere).entryList(QDir::Files)) {
        const QString from = elsewhere + u'/' + name;
        const QString to = folder + u'/' + name;
        if (!(name.endsWith(u".journal") ? QFile::link(from, to) : QFile::copy(from, to)))
            return false;
    }
    return true;
}

// A recovery file offering the diary with `text`, as a crashed instance would leave it.
bool forgeRecovery(const QString& folder, const QString& diary, const QByteArray& text)
{
    recovery::RecoveryData data;
    data.hasDiary = true;
    data.diaryText = QString::fromLatin1(text);
    data.fileName = diary;
    QFile file(folder + u'/' + QUuid::createUuid().toString(QUuid::WithoutBraces)
               + QStringLiteral(".recovery"));
    return file.open(QIODevice::WriteOnly) && recovery::writeRecoveryData(file, data);
}

// Another user's files in the state folder are never applied, whether that user made the
// folder (in a shared folder such as /tmp) or put them into the writer's own: the diary stays as
// it is, nothing is offered back, and the one message at start says which folder or files were
// not used and why.
TEST(WriteAtStart, AnotherUsersStateFilesAreNeverApplied)
{
    using Forge = bool (*)(const QString&, const QString&, const QByteArray&);
    struct Case {
        const char* name;
        Forge forge;
        bool theirFolder; // made by the other user, open to all; else the writer's, 0700
        bool theirFiles;  // given to the other user when put in the writer's folder
    };
    const Case cases[] = {
        {"their folder, forged journal", forgeWrite, true, true},
        {"their folder, forged recovery file", forgeRecovery, true, true},
        {"their folder, linked journal", forgeLinkedJournal, true, true},
        {"own folder, their journal", forgeWrite, false, true},
        {"own folder, their recovery file", forgeRecovery, false, true},
        {"own folder, linked journal", forgeLinkedJournal, false, false},
    };
    const QByteArray theirs = "written by another user";
    for (const Case& c : cases) {
        QTemporaryDir shared;
        QTemporaryDir home;
        const QString diary = home.filePath(QStringLiteral("diary.htm"));
        ASSERT_TRUE(putContent(diary, oldContent));
        // The other user sees what stat shows of the diary, as in a home folder open to all.
        ASSERT_EQ(chmod(QFile::encodeName(home.path()).constData(), 0711), 0);
        const QString folder = shared.filePath(QStringLiteral("pelmora"));
        // Shared as /tmp is: anyone makes files, only their owner removes them.
        ASSERT_EQ(chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
        if (!c.theirFolder) {
            ASSERT_EQ(mkdir(QFile::encodeName(folder).constData(), 0700), 0);
        }
        const int planted = inChild([&] {
            const QByteArray path = QFile::encodeName(folder);
            if (c.theirFolder
                && (!becomeNobody() || mkdir(path.constData(), 0777) != 0
                    || chmod(path.constData(), 0777) != 0))
                return 3;
            return c.forge(folder, diary, theirs) ? 0 : 1;
        });
        ASSERT_EQ(planted, 0) << c.name;
        if (!c.theirFolder && c.theirFiles)
            giveToNobody(folder);

        const Started run = startProgram(shared.path(), {});

        ASSERT_TRUE(run.ended) << c.name;
        EXPECT_EQ(contentOf(diary), oldContent) << c.name;
        EXPECT_EQ(run.output.count(QStringLiteral("MESSAGE")), 1)
            << c.name << run.output.toStdString();
        EXPECT_FALSE(run.output.contains(QStringLiteral("復元しますか"))) << c.name;
        if (c.theirFolder) {
            EXPECT_TRUE(run.output.contains(QStringLiteral("フォルダー ") + folder
                                            + QStringLiteral(" は別のユーザー（UID 65534）")))
                << c.name << run.output.toStdString();
        } else {
            EXPECT_TRUE(run.output.contains(folder + QStringLiteral("/damaged/")))
                << c.name << run.output.toStdString();
        }
    }
}

} // namespace
