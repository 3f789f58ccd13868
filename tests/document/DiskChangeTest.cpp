// The diary changed on the disk by other programs while the program has it open: the real main
// window on real files, the outside changes made by the shell's own tools as editors and sync
// tools make them (written in place, replaced by a rename, removed, renamed away).

#include "app/TMainForm.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "document/DiskVersionWindow.h"
#include "document/DiskWatch.h"
#include "find/StatusLabel.h"
#include "platform/EditorText.h"
#include "platform/QtPlatform.h"
#include "recovery/RecoveryData.h"
#include "recovery/RecoveryKeeper.h"
#include "support/FakePlatform.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int waitMs = 10000;
const QString reread = u"ほかのプログラムが変更したので読み直しました"_s;
const QByteArray ours = "<html>\r\none\r\ntwo\r\nthree\r\n</html>\r\n";
const QString oursText = u"<html>\r\none\r\ntwo\r\nthree\r\n</html>\r\n"_s;

class DiskChangeTest : public testing::Test {
protected:
    void SetUp() override
    {
        path = dir.filePath(u"diary.htm"_s);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ours);
        file.close();
        fake.messages.shown.clear(); // of an earlier start in the same test
        opened = 0;
        form = std::make_unique<TMainForm>(Platform{fake.messages, fake.fileDialogs, fake.clipboard,
                                                    fake.clock, fake.system, files, fake.keyStore});
        form->state().FirstPageChangeFlag = FirstPageChange::Never;
        form->show();
        // A state folder of each start's own: one start's file is no leftover for the next.
        form->startRecovery(dir.filePath(u"state%1"_s.arg(++starts)));
        form->recovery()->setPause(std::chrono::milliseconds(10));
        form->openGivenFile(path);
        ASSERT_EQ(text(), oursText);
        QObject::connect(form->document(), &DiaryDocument::documentOpened, [this] { ++opened; });
    }

    QPlainTextEdit* memo() const { return form->diaryTab()->AllMemo; }
    QString text() const { return editorText(memo()); }
    StatusLabel* status() const { return form->diaryTab()->DiskStatus; }
    void putCursorOnLine(int line)
    {
        memo()->setTextCursor(QTextCursor(memo()->document()->findBlockByNumber(line)));
    }
    void typeAtStart(const QString& typed)
    {
        QTextCursor cursor(memo()->document());
        cursor.insertText(typed);
    }

    // Runs a shell command as another program would; $D is the diary's path.
    void outside(const QString& command)
    {
        QProcess shell;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"D"_s, path);
        shell.setProcessEnvironment(environment);
        shell.start(u"sh"_s, {u"-c"_s, command});
        ASSERT_TRUE(shell.waitForFinished());
        ASSERT_EQ(shell.exitCode(), 0) << command.toStdString();
    }
    bool waitFor(const std::function<bool()>& condition)
    {
        return QTest::qWaitFor(condition, waitMs);
    }
    // The diary text the recovery file keeps; empty while it keeps none.
    QString keptDiary() const
    {
        QFile file(form->recovery()->ownPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const std::optional<recovery::RecoveryData> data =
            recovery::readRecoveryData(file.readAll());
        return data && data->hasDiary ? data->diaryText : QString();
    }

    QTemporaryDir dir;
    QString path;
    QtFiles files{dir.filePath(u"backup"_s)};
    FakePlatform fake;
    std::unique_ptr<TMainForm> form;
    int opened = 0; // documents opened since the diary was
    int starts = 0;
};

TEST_F(DiskChangeTest, AnUnmodifiedDiaryIsReadAgainKeepingTheCursorsLine)
{
    struct Case {
        const char* name;
        QString command;
        QString expected;
        QString format;
    };
    // In one run, so that each change is seen after the one before replaced the file.
    const Case cases[] = {
        {"sed -i (a rename)", u"sed -i 's/two/TWO/' \"$D\""_s,
         u"<html>\r\none\r\nTWO\r\nthree\r\n</html>\r\n"_s, u"Shift-JIS・CR LF"_s},
        {"written in place", u"printf '<html>\\none\\n2\\nthree\\n' > \"$D\""_s,
         u"<html>\r\none\r\n2\r\nthree\r\n"_s, u"Shift-JIS・LF"_s},
        {"a new file renamed over it, in UTF-8",
         u"printf '<html>\\r\\n一\\r\\n二\\r\\n三\\r\\n四\\r\\n' > \"$D.new\" && mv \"$D.new\" \"$D\""_s,
         u"<html>\r\n一\r\n二\r\n三\r\n四\r\n"_s, u"UTF-8・CR LF"_s},
        {"written in place again", u"printf 'x\\r\\ny\\r\\n' >> \"$D\""_s,
         u"<html>\r\n一\r\n二\r\n三\r\n四\r\nx\r\ny\r\n"_s, u"UTF-8・CR LF"_s},
    };
    for (const Case& c : cases) {
        putCursorOnLine(2);
        status()->clear();
        outside(c.command);
        ASSERT_TRUE(waitFor([&] { return text() == c.expected; })) << c.name;
        EXPECT_EQ(memo()->textCursor().blockNumber(), 2) << c.name;
        EXPECT_EQ(status()->text(), reread) << c.name;
        EXPECT_TRUE(status()->isVisible()) << c.name;
        EXPECT_EQ(form->diaryTab()->PanelEncoding->text(), c.format) << c.name;
        EXPECT_FALSE(form->document()->isModified()) << c.name;
    }
    EXPECT_EQ(opened, 4);
    EXPECT_TRUE(fake.messages.shown.isEmpty());
}

TEST_F(DiskChangeTest, TheProgramsOwnSaveIsNoOtherProgramsChange)
{
    auto* watch = form->document()->findChild<DiskWatch*>();
    ASSERT_NE(watch, nullptr);
    QSignalSpy touched(watch, &DiskWatch::touched);
    typeAtStart(u"x"_s);
    form->diaryTab()->SaveDiaryBtn->click();
    ASSERT_TRUE(touched.wait(waitMs)); // the save replaced the file by a rename
    QTest::qWait(0);
    EXPECT_EQ(text(), u"x"_s + oursText);
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(status()->isHidden());
    EXPECT_TRUE(fake.messages.shown.isEmpty());
    // The watch goes on after the program's own replace.
    outside(u"printf 'later\\r\\n' > \"$D\""_s);
    ASSERT_TRUE(waitFor([&] { return text() == u"later\r\n"_s; }));
    EXPECT_EQ(opened, 1);
}

TEST_F(DiskChangeTest, AModifiedDiaryAsksAtOnceAndEachAnswerKeepsTheWritersText)
{
    const QString mine = u"mine "_s + oursText;
    const QString theirs = u"<html>\r\none\r\nTHEIRS\r\n"_s;
    for (const MsgAnswer answer : {MsgAnswer::Cancel, MsgAnswer::No, MsgAnswer::Yes}) {
        SetUp();
        const auto name = std::to_string(int(answer));
        typeAtStart(u"mine "_s);
        ASSERT_TRUE(waitFor([&] { return keptDiary() == mine; })) << name;
        fake.messages.answer({answer});
        outside(u"printf '<html>\\r\\none\\r\\nTHEIRS\\r\\n' > \"$D\""_s);
        ASSERT_TRUE(waitFor([&] { return !fake.messages.shown.isEmpty(); })) << name;
        const Message& question = fake.messages.shown[0];
        EXPECT_TRUE(question.text.startsWith(u"ファイル "_s + path
                                             + u" は、ほかのプログラムによって変更されました。"_s))
            << name;
        EXPECT_EQ(question.buttons, MsgButtons::YesNoCancel) << name;
        EXPECT_EQ(question.defaultButton, MsgAnswer::Cancel) << name;
        switch (answer) {
        case MsgAnswer::Cancel: // keep mine: kept, and the save still asks before writing over
            EXPECT_EQ(text(), mine);
            EXPECT_TRUE(form->isWindowModified());
            EXPECT_EQ(keptDiary(), mine);
            fake.messages.answer({MsgAnswer::No});
            form->diaryTab()->SaveDiaryBtn->click();
            ASSERT_EQ(fake.messages.shown.size(), 2);
            EXPECT_TRUE(fake.messages.shown[1].text.contains(u"他のプログラムによって変更"_s));
            EXPECT_EQ(editorText(memo()), mine);
            break;
        case MsgAnswer::No: // read theirs; an undo brings mine back, and the recovery keeps it
            EXPECT_EQ(text(), theirs);
            EXPECT_FALSE(form->isWindowModified());
            EXPECT_EQ(status()->text(), reread);
            memo()->undo();
            EXPECT_EQ(text(), mine);
            EXPECT_TRUE(form->isWindowModified());
            EXPECT_TRUE(waitFor([&] { return keptDiary() == mine; }));
            break;
        default: { // compare: theirs in a window of its own at the first line that differs
            auto* window = form->findChild<DiskVersionWindow*>();
            ASSERT_NE(window, nullptr);
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(window->DiskVersionMemo->toPlainText(), u"<html>\none\nTHEIRS\n"_s);
            EXPECT_EQ(window->DiskVersionMemo->textCursor().blockNumber(), 0);
            EXPECT_TRUE(window->DiskVersionNote->text().contains(u"1 行目から違います"_s));
            EXPECT_EQ(text(), mine);
            EXPECT_EQ(keptDiary(), mine);
            window->DiskReloadBtn->click();
            EXPECT_FALSE(window->isVisible());
            EXPECT_EQ(text(), theirs);
            memo()->undo();
            EXPECT_EQ(text(), mine);
        }
        }
        EXPECT_EQ(fake.messages.answers.size(), 0u) << name;
        fake.messages.answer({MsgAnswer::No});
        form->close();
    }
}

TEST_F(DiskChangeTest, AFileRemovedOrRenamedAwayIsToldAndItsTextKeptForRecovery)
{
    for (const QString& command : {u"rm \"$D\""_s, u"mv \"$D\" \"$D.old\""_s}) {
        SetUp();
        ASSERT_TRUE(status()->isHidden());
        outside(command);
        ASSERT_TRUE(waitFor([&] { return status()->isVisible(); })) << command.toStdString();
        EXPECT_TRUE(status()->text().startsWith(u"ファイル "_s + path)) << command.toStdString();
        EXPECT_TRUE(status()->text().contains(u"削除"_s)) << command.toStdString();
        EXPECT_EQ(text(), oursText);
        EXPECT_TRUE(form->document()->isModified());
        EXPECT_TRUE(form->isWindowModified());
        EXPECT_TRUE(form->diaryTab()->SaveDiaryBtn->isEnabled());
        EXPECT_TRUE(waitFor([&] { return keptDiary() == oursText; })) << command.toStdString();
        EXPECT_TRUE(fake.messages.shown.isEmpty());
        fake.messages.answer({MsgAnswer::No});
        form->close();
    }
}

// Undo back to the text on the disk is unmodified: the title's mark goes, and so does the
// recovery file.
TEST_F(DiskChangeTest, UndoBackToTheSavedTextIsUnmodified)
{
    typeAtStart(u"x"_s);
    EXPECT_TRUE(form->isWindowModified());
    ASSERT_TRUE(waitFor([&] { return !keptDiary().isEmpty(); }));
    memo()->undo();
    EXPECT_EQ(text(), oursText);
    EXPECT_FALSE(form->document()->isModified());
    EXPECT_FALSE(form->isWindowModified());
    EXPECT_FALSE(form->diaryTab()->SaveDiaryBtn->isEnabled());
    EXPECT_TRUE(waitFor([&] { return !QFile::exists(form->recovery()->ownPath()); }));
    memo()->redo();
    EXPECT_TRUE(form->document()->isModified());
    EXPECT_TRUE(form->diaryTab()->SaveDiaryBtn->isEnabled());
}

} // namespace
