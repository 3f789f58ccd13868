#include "LockedFolder.h"
#include "storage/WriteJournal.h"
#include "support/ChildEnvironment.h"

#include <QProcess>

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
             return putContent(disk.backup + QStringLiteral("/0123.part"), "half a copy");
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

} // namespace
