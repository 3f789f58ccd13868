#include "recovery/RecoveryKeeper.h"
#include "UnsavedWork.h"
#include "app/TMainForm.h"
#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "platform/ItemComboBox.h"
#include "platform/QtPlatform.h"
#include "recovery/RecoveryData.h"
#include "recovery/RecoveryStore.h"
#include "storage/StateFolder.h"
#include "support/ChildEnvironment.h"
#include "support/FakePlatform.h"
#include "support/ModalCloser.h"
#include "support/TodayControls.h"
#include "support/Typing.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>

using recovery::RecoveryData;

namespace {

constexpr int waitMs = 20000;

QStringList recoveryFiles(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.recovery")}, QDir::Files);
}

std::optional<RecoveryData> readRecovery(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return recovery::readRecoveryData(file.readAll());
}

// One instance of the program in a state folder of the test's own.
struct Instance {
    explicit Instance(const QString& folder)
    {
        form = std::make_unique<TMainForm>(fake.platform());
        form->show();
        form->startRecovery(folder);
        form->recovery()->setPause(std::chrono::milliseconds(10));
    }
    TodayEntryTab* today() { return form->todayTab(); }

    FakePlatform fake;
    std::unique_ptr<TMainForm> form;
};

class RecoveryTest : public testing::Test {
protected:
    QString folder() const { return stateHome.filePath(QStringLiteral("pelmora")); }
    bool waitForFiles(int count)
    {
        return QTest::qWaitFor([&] { return recoveryFiles(folder()).size() == count; }, waitMs);
    }

    QTemporaryDir stateHome;
};

TEST_F(RecoveryTest, UnsavedWorkIsWrittenAfterAPauseAndGoesWhenNothingIsUnsaved)
{
    Instance one(folder());
    EXPECT_TRUE(recoveryFiles(folder()).isEmpty()); // nothing unsaved yet
    typeText(one.today()->bodyEditor(), unsaved::bodyTyped());
    ASSERT_TRUE(waitForFiles(1));
    const std::optional<RecoveryData> kept = readRecovery(one.form->recovery()->ownPath());
    ASSERT_TRUE(kept.has_value());
    // The writer's unsaved text and the lock naming the program: for the writer's eyes only.
    for (const QString& path : {one.form->recovery()->ownPath(),
                                one.form->recovery()->ownPath() + QStringLiteral(".lock")}) {
        EXPECT_EQ(
            QFile::permissions(path)
                & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
            QFileDevice::Permissions())
            << path.toStdString();
    }
    EXPECT_EQ(kept->entry.body, unsaved::bodyTyped());
    EXPECT_TRUE(kept->entry.bodyModified);
    EXPECT_FALSE(kept->hasDiary);

    one.fake.messages.answer({MsgAnswer::Yes});
    controls(one.today()).DeleteBtn->click(); // the body is no longer unsaved
    EXPECT_TRUE(waitForFiles(0));
}

// The title changes in its own window, with no editor to report it: the file follows it too.
TEST_F(RecoveryTest, ATitleSetAfterTheBodyIsKept)
{
    Instance one(folder());
    typeText(one.today()->bodyEditor(), unsaved::bodyTyped());
    ASSERT_TRUE(waitForFiles(1));
    one.today()->setTitle(unsaved::title());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const std::optional<RecoveryData> kept = readRecovery(one.form->recovery()->ownPath());
            return kept && kept->entry.title == unsaved::title()
                   && kept->entry.titleCaption == unsaved::titleCaption() && kept->entry.titleShown;
        },
        waitMs));
}

TEST_F(RecoveryTest, ANormalCloseLeavesTheStateFolderEmpty)
{
    Instance one(folder());
    typeText(one.today()->bodyEditor(), unsaved::bodyTyped());
    ASSERT_TRUE(waitForFiles(1));
    one.fake.messages.answer({MsgAnswer::Yes}); // close with the body not inserted
    EXPECT_TRUE(one.form->close());
    EXPECT_TRUE(QDir(stateHome.path()).isEmpty())
        << QDir(folder())
               .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
               .join(u' ')
               .toStdString();
}

TEST_F(RecoveryTest, TheFileOfARunningInstanceIsNeverOffered)
{
    Instance one(folder());
    typeText(one.today()->bodyEditor(), unsaved::bodyTyped());
    ASSERT_TRUE(waitForFiles(1));
    Instance two(folder()); // a box would fail the test: no answer is scripted
    EXPECT_TRUE(two.fake.messages.shown.isEmpty());
    EXPECT_TRUE(QFile::exists(one.form->recovery()->ownPath()));
}

TEST(RecoveryQuestion, TheBoxShowsItsOwnButtonCaptions)
{
    QStringList captions;
    ModalCloser closer([&](QDialog* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* b : box->buttons())
            captions.append(b->text());
        box->defaultButton()->click();
    });
    QtMessages messages;
    Message question{QStringLiteral("本文"), QStringLiteral("見出し"), MsgButtons::YesNo,
                     MsgIcon::Question, MsgAnswer::Yes};
    question.buttonCaptions = {{MsgAnswer::Yes, QStringLiteral("復元")},
                               {MsgAnswer::No, QStringLiteral("破棄")}};
    EXPECT_EQ(messages.show(question), MsgAnswer::Yes);
    captions.sort();
    EXPECT_EQ(captions, (QStringList{QStringLiteral("復元"), QStringLiteral("破棄")}));
}

// The child is the program itself, started as the writer starts it, in a state folder of the
// test's own.
void startChild(QProcess& child, const QString& stateHome, const QStringList& arguments)
{
    static QTemporaryDir config;
    child.setProcessEnvironment(childEnvironment(stateHome, config.path()));
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral(RECOVERY_CHILD), arguments);
    ASSERT_TRUE(child.waitForStarted());
}

void killChild(QProcess& child)
{
    ::kill(pid_t(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished());
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
}

// Killed with SIGKILL once its recovery file holds the whole diary.
void killChildWithUnsavedWork(const QString& stateHome, const QString& folder,
                              const QString& diaryPath)
{
    QProcess child;
    startChild(child, stateHome, diaryPath.isEmpty() ? QStringList() : QStringList{diaryPath});
    const auto diaryKept = [&] {
        const QStringList files = recoveryFiles(folder);
        const std::optional<RecoveryData> kept =
            files.size() == 1 ? readRecovery(folder + u'/' + files[0]) : std::nullopt;
        return kept && kept->diaryText.startsWith(unsaved::diary());
    };
    ASSERT_TRUE(QTest::qWaitFor(diaryKept, waitMs));
    killChild(child);
}

struct KillCase {
    const char* name;
    QString diaryPath; // empty: a new document
    MsgAnswer answer;
    bool utf8File = false; // the diary is an empty UTF-8 file with a byte order mark
};

TEST_F(RecoveryTest, WorkLeftByAKilledInstanceIsOfferedAtTheNextStart)
{
    const KillCase cases[] = {
        {"new document, restored", QString(), MsgAnswer::Yes},
        {"named document, restored", QStringLiteral("/home/writer/日記 2024.htm"), MsgAnswer::Yes},
        {"discarded", QString(), MsgAnswer::No},
        {"UTF-8 document, restored in its encoding", QString(), MsgAnswer::Yes, true},
    };
    for (const KillCase& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir diaries;
        const QString diaryPath =
            c.utf8File ? diaries.filePath(QStringLiteral("bom.htm")) : c.diaryPath;
        if (c.utf8File) {
            QFile bom(diaryPath);
            ASSERT_TRUE(bom.open(QIODevice::WriteOnly) && bom.write("\xEF\xBB\xBF") == 3);
        }
        killChildWithUnsavedWork(stateHome.path(), folder(), diaryPath);
        const QString leftover = folder() + u'/' + recoveryFiles(folder()).value(0);

        qputenv("XDG_STATE_HOME", stateHome.path().toLocal8Bit());
        FakePlatform fake;
        TMainForm form(fake.platform());
        form.show();
        fake.messages.answer({c.answer});
        // A diary taken back keeps a file named at start from replacing it.
        EXPECT_EQ(form.startRecovery(stateFolder()), c.answer == MsgAnswer::Yes);
        qunsetenv("XDG_STATE_HOME");

        ASSERT_EQ(fake.messages.shown.size(), 1);
        const Message& question = fake.messages.shown[0];
        EXPECT_EQ(question.caption, QStringLiteral("Pelmora 2"));
        EXPECT_EQ(question.icon, MsgIcon::Question);
        EXPECT_EQ(question.buttons, MsgButtons::YesNo);
        EXPECT_EQ(question.buttonCaptions,
                  (QList<std::pair<MsgAnswer, QString>>{{MsgAnswer::Yes, QStringLiteral("復元")},
                                                        {MsgAnswer::No, QStringLiteral("破棄")}}));
        EXPECT_FALSE(QFile::exists(leftover));
        DiaryFileTab* diary = form.diaryTab();
        if (c.answer == MsgAnswer::No) {
            EXPECT_TRUE(QDir(folder()).isEmpty()); // its lock went with it
            EXPECT_TRUE(editorText(form.todayTab()->bodyEditor()).isEmpty());
            EXPECT_TRUE(diary->AllMemo->isReadOnly());
            continue;
        }
        EXPECT_TRUE(QFile::exists(form.recovery()->ownPath())); // the restored work is kept on

        const TodayControls today(form.todayTab());
        EXPECT_EQ(today.YearEdit->text(), unsaved::year());
        EXPECT_EQ(today.MonthEdit->text(), unsaved::month());
        EXPECT_EQ(today.DateEdit->text(), unsaved::day());
        EXPECT_EQ(today.DayBox->currentIndex(), 4); // Thursday
        EXPECT_EQ(today.DayBox->currentText(), QStringLiteral("(木)"));
        EXPECT_EQ(today.WeatherBox->currentIndex(), -1);
        EXPECT_EQ(today.WeatherBox->currentText(), unsaved::weather());
        EXPECT_EQ(form.state().TodayTitle, unsaved::title());
        EXPECT_EQ(today.PanelDiaryTitle->text(), unsaved::titleCaption());
        EXPECT_FALSE(today.PanelDiaryTitle->isHidden());
        EXPECT_EQ(editorText(today.TodayMemo), unsaved::body());
        EXPECT_TRUE(today.TodayMemo->document()->isModified());

        EXPECT_EQ(editorText(diary->AllMemo), unsaved::diary());
        EXPECT_FALSE(diary->AllMemo->isReadOnly());
        EXPECT_EQ(form.state().CurrentFileName, diaryPath);
        EXPECT_EQ(diary->PanelEditFile->text(),
                  diaryPath.isEmpty() ? QStringLiteral("New File.") : diaryPath);
        EXPECT_EQ(diary->PanelEncoding->text(), c.utf8File
                                                    ? QStringLiteral("UTF-8 (BOM付き)・CR LF")
                                                    : QStringLiteral("Shift-JIS・CR LF"));
        EXPECT_TRUE(form.document()->isModified());
        EXPECT_EQ(form.state().DocumentLoaded, true);
        for (QPushButton* on :
             {diary->SaveDiaryBtn, diary->SaveAsBtn, diary->InsertDiaryBtn, diary->BRTagBtn,
              diary->HRBtn, diary->LinkTagBtn, diary->IMGBtn, diary->StyleBtn})
            EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
        // Closing normally now asks about the diary and the body, and leaves nothing behind.
        fake.messages.answer({MsgAnswer::No, MsgAnswer::Yes});
        EXPECT_TRUE(form.close());
        EXPECT_TRUE(QDir(stateHome.path()).isEmpty());
    }
}

// A writer who never pauses for two seconds still has the work kept, a few seconds after it
// began; a kill then loses at most those seconds.
TEST_F(RecoveryTest, TypingWithoutAPauseIsKeptAndSurvivesAKill)
{
    QProcess child;
    startChild(child, stateHome.path(), {QStringLiteral("--typing")});
    const auto keptBody = [&] {
        const QStringList files = recoveryFiles(folder());
        if (files.size() != 1)
            return QString();
        const std::optional<RecoveryData> kept = readRecovery(folder() + u'/' + files[0]);
        return kept ? kept->entry.body : QString();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return keptBody().size() >= 10; }, 12000));
    killChild(child);
    const QString body = keptBody();
    EXPECT_EQ(body, QString(body.size(), QChar(u'あ')));
}

// Real files: a diary on the disk that the child opens, changes and leaves or saves.
class RecoveryFileTest : public RecoveryTest {
protected:
    void SetUp() override
    {
        QFile file(diaryPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<HTML>\n</HTML>\n"); // LF, as Linux tools write it: kept through a restore
    }
    QTemporaryDir files;
    const QString diaryPath = files.filePath(QStringLiteral("diary.htm"));
};

// Killed right after a save, the program leaves nothing that would put the older diary back.
TEST_F(RecoveryFileTest, ASaveBringsTheRecoveryFileUpToDateAtOnce)
{
    QProcess child;
    startChild(child, stateHome.path(), {QStringLiteral("--save"), diaryPath});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return child.readAllStandardOutput().contains("saved"); }, waitMs));
    killChild(child);
    EXPECT_TRUE(recoveryFiles(folder()).isEmpty());
    QFile saved(diaryPath);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("\x92\xC7\x8B\x4C")); // 追記, the change saved
}

struct RestoreCase {
    const char* name;
    bool savedSince;     // the diary file was saved again after the work was kept
    bool rewrittenAlike; // written again with the same bytes (a cut-short write undone)
};

// What the first save after a restore asks depends only on whether the file changed since the
// work was kept; the question at start says when it did.
TEST_F(RecoveryFileTest, ARestoreKnowsWhetherTheFileChangedSince)
{
    for (const RestoreCase& c :
         {RestoreCase{"file as it was", false, false}, RestoreCase{"file saved since", true, false},
          RestoreCase{"same bytes written again", false, true}}) {
        SCOPED_TRACE(c.name);
        killChildWithUnsavedWork(stateHome.path(), folder(), diaryPath);
        if (c.savedSince) {
            QFile file(diaryPath);
            ASSERT_TRUE(file.open(QIODevice::Append));
            file.write("<!-- later -->\r\n");
        }
        if (c.rewrittenAlike) {
            QFile file(diaryPath);
            const QByteArray bytes = file.open(QIODevice::ReadWrite) ? file.readAll() : "";
            ASSERT_TRUE(file.seek(0) && file.write(bytes) == bytes.size());
            ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                         QFileDevice::FileModificationTime));
        }
        FakePlatform fake;
        QtFiles realFiles;
        const Platform platform{fake.messages, fake.fileDialogs, fake.clipboard, fake.clock,
                                fake.system,   realFiles,        fake.keyStore};
        TMainForm form(platform);
        form.show();
        fake.messages.answer({MsgAnswer::Yes});
        ASSERT_TRUE(form.startRecovery(folder()));
        ASSERT_EQ(fake.messages.shown.size(), 1);
        EXPECT_EQ(fake.messages.shown[0].text.contains(diaryPath), c.savedSince);

        // Asked, the writer does not write over the file saved since; not asked, the save goes
        // through and tells which characters Shift-JIS cannot hold.
        fake.messages.answer({c.savedSince ? MsgAnswer::No : MsgAnswer::Ok});
        form.diaryTab()->SaveDiaryBtn->click();
        ASSERT_EQ(fake.messages.shown.size(), 2);
        EXPECT_EQ(fake.messages.shown[1].icon,
                  c.savedSince ? MsgIcon::Question : MsgIcon::Information);
        EXPECT_EQ(form.document()->isModified(), c.savedSince);
        QFile saved(diaryPath);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        if (!c.savedSince && !c.rewrittenAlike) { // the file's LF line ends, kept through it all
            EXPECT_FALSE(saved.readAll().contains('\r'));
        }
        if (c.savedSince)
            fake.messages.answer({MsgAnswer::No}); // the diary stays unsaved
        fake.messages.answer({MsgAnswer::Yes});    // the body was not inserted
        EXPECT_TRUE(form.close());
    }
}

QByteArray keptBytes()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    RecoveryData data;
    data.entry.body = unsaved::body();
    data.entry.bodyModified = true;
    recovery::writeRecoveryData(buffer, data);
    return buffer.data();
}

// Files that cannot be read are moved out of the way and named to the writer once; a file of a
// later version is left where it is, for the version that wrote it.
TEST_F(RecoveryTest, DamagedFilesAreMovedAsideAndToldOnce)
{
    QByteArray flipped = keptBytes();
    flipped[40] = char(flipped[40] ^ 0x10);
    QByteArray later = keptBytes();
    later[8] = 9;
    const std::pair<QString, QByteArray> leftovers[] = {
        {QStringLiteral("cut.recovery"), keptBytes().chopped(7)},
        {QStringLiteral("flipped.recovery"), flipped},
        {QStringLiteral("later.recovery"), later},
    };
    ASSERT_TRUE(QDir().mkpath(folder()));
    for (const auto& [name, bytes] : leftovers) {
        QFile file(folder() + u'/' + name);
        // As the program makes them: only the writer may read them.
        ASSERT_TRUE(file.open(QIODevice::WriteOnly, QFile::ReadOwner | QFile::WriteOwner));
        file.write(bytes);
    }
    QString told;
    for (int start = 0; start < 2; ++start) {
        QProcess child;
        startChild(child, stateHome.path(), {QStringLiteral("--start")});
        ASSERT_TRUE(child.waitForFinished(waitMs));
        told += QString::fromUtf8(child.readAllStandardOutput());
    }
    for (const QString& name :
         {QStringLiteral("cut.recovery"), QStringLiteral("flipped.recovery")}) {
        EXPECT_EQ(told.count(folder() + QStringLiteral("/damaged/") + name), 1)
            << told.toStdString();
        EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("/damaged/") + name));
    }
    EXPECT_EQ(recoveryFiles(folder()), QStringList{QStringLiteral("later.recovery")});
}

// A recovery file that cannot be written is told once, not at every keystroke.
TEST_F(RecoveryTest, AFailedWriteIsToldOnce)
{
    QFile blocker(stateHome.filePath(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    Instance one(blocker.fileName() + QStringLiteral("/pelmora"));
    one.fake.messages.answer({MsgAnswer::Ok});
    typeText(one.today()->bodyEditor(), unsaved::bodyTyped());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !one.fake.messages.shown.isEmpty(); }, waitMs));
    typeText(one.today()->bodyEditor(), unsaved::bodyTyped());
    QTest::qWait(200);
    ASSERT_EQ(one.fake.messages.shown.size(), 1);
    EXPECT_EQ(one.fake.messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(one.fake.messages.shown[0].text.contains(one.form->recovery()->ownPath()));
}

} // namespace
