#include "recovery/RecoveryKeeper.h"
#include "UnsavedWork.h"
#include "app/TMainForm.h"
#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "entry/ItemComboBox.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "platform/QtPlatform.h"
#include "recovery/RecoveryData.h"
#include "recovery/RecoveryStore.h"
#include "support/FakePlatform.h"
#include "support/ModalCloser.h"
#include "support/Typing.h"

#include <QAbstractButton>
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
    typeText(one.today()->TodayMemo, unsaved::bodyTyped());
    ASSERT_TRUE(waitForFiles(1));
    const std::optional<RecoveryData> kept = readRecovery(one.form->recovery()->ownPath());
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->body, unsaved::bodyTyped());
    EXPECT_TRUE(kept->bodyModified);
    EXPECT_FALSE(kept->hasDiary);

    one.fake.messages.answer({MsgAnswer::Yes});
    one.today()->DeleteBtn->click(); // the body is no longer unsaved
    EXPECT_TRUE(waitForFiles(0));
}

TEST_F(RecoveryTest, ANormalCloseLeavesTheStateFolderEmpty)
{
    Instance one(folder());
    typeText(one.today()->TodayMemo, unsaved::bodyTyped());
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
    typeText(one.today()->TodayMemo, unsaved::bodyTyped());
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

// The child is the program itself, killed with SIGKILL once its recovery file is written.
void killChildWithUnsavedWork(const QString& stateHome, const QString& folder,
                              const QString& diaryPath)
{
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_STATE_HOME"), stateHome);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral(RECOVERY_CHILD),
                diaryPath.isEmpty() ? QStringList() : QStringList{diaryPath});
    ASSERT_TRUE(child.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return recoveryFiles(folder).size() == 1; }, waitMs));
    ::kill(pid_t(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished());
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
}

struct KillCase {
    const char* name;
    QString diaryPath; // empty: a new document
    MsgAnswer answer;
};

TEST_F(RecoveryTest, WorkLeftByAKilledInstanceIsOfferedAtTheNextStart)
{
    const KillCase cases[] = {
        {"new document, restored", QString(), MsgAnswer::Yes},
        {"named document, restored", QStringLiteral("/home/writer/日記 2024.htm"), MsgAnswer::Yes},
        {"discarded", QString(), MsgAnswer::No},
    };
    for (const KillCase& c : cases) {
        SCOPED_TRACE(c.name);
        killChildWithUnsavedWork(stateHome.path(), folder(), c.diaryPath);
        const QString leftover = folder() + u'/' + recoveryFiles(folder()).value(0);

        qputenv("XDG_STATE_HOME", stateHome.path().toLocal8Bit());
        FakePlatform fake;
        TMainForm form(fake.platform());
        form.show();
        fake.messages.answer({c.answer});
        // A diary taken back keeps a file named at start from replacing it.
        EXPECT_EQ(form.startRecovery(recovery::recoveryFolder()), c.answer == MsgAnswer::Yes);
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
            EXPECT_TRUE(editorText(form.todayTab()->TodayMemo).isEmpty());
            EXPECT_TRUE(diary->AllMemo->isReadOnly());
            continue;
        }
        EXPECT_TRUE(QFile::exists(form.recovery()->ownPath())); // the restored work is kept on

        TodayEntryTab* today = form.todayTab();
        EXPECT_EQ(today->YearEdit->text(), unsaved::year());
        EXPECT_EQ(today->MonthEdit->text(), unsaved::month());
        EXPECT_EQ(today->DateEdit->text(), unsaved::day());
        EXPECT_EQ(today->DayBox->currentIndex(), 4); // Thursday
        EXPECT_EQ(today->DayBox->currentText(), QStringLiteral("(木)"));
        EXPECT_EQ(today->WeatherBox->currentIndex(), -1);
        EXPECT_EQ(today->WeatherBox->currentText(), unsaved::weather());
        EXPECT_EQ(form.state().TodayTitle, unsaved::title());
        EXPECT_EQ(today->PanelDiaryTitle->text(), unsaved::titleCaption());
        EXPECT_FALSE(today->PanelDiaryTitle->isHidden());
        EXPECT_EQ(editorText(today->TodayMemo), unsaved::body());
        EXPECT_TRUE(today->TodayMemo->document()->isModified());

        EXPECT_EQ(editorText(diary->AllMemo), unsaved::diary());
        EXPECT_FALSE(diary->AllMemo->isReadOnly());
        EXPECT_EQ(form.state().CurrentFileName, c.diaryPath);
        EXPECT_EQ(diary->PanelEditFile->text(),
                  c.diaryPath.isEmpty() ? QStringLiteral("New File.") : c.diaryPath);
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

} // namespace
