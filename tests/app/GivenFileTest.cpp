#include "app/TMainForm.h"
#include "document/DiaryFileTab.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "platform/QtKeyStore.h"
#include "support/FakePlatform.h"
#include "support/Typing.h"

#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A diary file chosen outside the open dialog: dropped on the window, handed over by a later
// start, or named on the command line.
class GivenFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        fake.files.files.insert(diary, "<html>\r\n");
        form = std::make_unique<TMainForm>(fake.platform());
        form->state().FirstPageChangeFlag = FirstPageChange::Never;
        form->show();
    }

    // A drag that enters the widget and is dropped there (Qt takes no drop without the enter).
    void drop(QWidget* target, QMimeData* data)
    {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
        QApplication::processEvents(); // the file opens once the drop is over
        delete data;
    }
    static QMimeData* files(const QStringList& paths)
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data->setUrls(urls);
        return data;
    }
    QPlainTextEdit* allMemo() { return form->diaryTab()->AllMemo; }
    int tab() { return form->findChild<QTabWidget*>(u"PageControl1"_s)->currentIndex(); }

    const QString diary = u"/home/w/diary.htm"_s;
    const QString other = u"/home/w/other.htm"_s;
    FakePlatform fake;
    std::unique_ptr<TMainForm> form;
};

TEST_F(GivenFileTest, OpensOnTheSecondTabAsTheOpenCommandDoes)
{
    form->openGivenFile(diary);
    EXPECT_EQ(tab(), 1);
    EXPECT_EQ(form->state().CurrentFileName, diary);
    EXPECT_EQ(editorText(allMemo()), u"<html>\r\n"_s);
    EXPECT_FALSE(allMemo()->isReadOnly());
    EXPECT_TRUE(fake.messages.shown.isEmpty());
}

// Over the window or over an editor, a dropped file opens (the first of several), asking first
// about a modified document; the editor does not take the file's address as text.
TEST_F(GivenFileTest, ADroppedFileOpensWhereverItIsDropped)
{
    fake.files.files.insert(other, "other\r\n");
    drop(form.get(), files({diary, other}));
    EXPECT_EQ(form->state().CurrentFileName, diary);

    typeText(allMemo(), u"x"_s);
    fake.messages.answer({MsgAnswer::No});
    drop(allMemo()->viewport(), files({other}));
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_EQ(fake.messages.shown[0].text, u"編集内容は保存されていません。\n保存しますか？"_s);
    EXPECT_EQ(form->state().CurrentFileName, other);
    EXPECT_EQ(editorText(allMemo()), u"other\r\n"_s);

    drop(form->todayTab()->TodayMemo->viewport(), files({diary}));
    EXPECT_EQ(form->state().CurrentFileName, diary);
    EXPECT_TRUE(editorText(form->todayTab()->TodayMemo).isEmpty());

    auto* text = new QMimeData;
    text->setText(u"<br>"_s);
    allMemo()->moveCursor(QTextCursor::Start);
    drop(allMemo()->viewport(), text); // plain text still goes into the editor
    EXPECT_TRUE(editorText(allMemo()).contains(u"<br>"_s));
    EXPECT_EQ(form->state().CurrentFileName, diary);
}

TEST_F(GivenFileTest, AMissingOrWriteProtectedFileIsRefusedAndChangesNothing)
{
    const QString missing = u"/home/w/missing.htm"_s;
    fake.messages.answer({MsgAnswer::Ok});
    form->openGivenFile(missing);
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_EQ(fake.messages.shown[0].text, u"ﾌｧｲﾙ /home/w/missing.htm は開けません."_s);
    EXPECT_EQ(fake.messages.shown[0].icon, MsgIcon::Stop);
    EXPECT_TRUE(allMemo()->isReadOnly()); // the placeholder stays as it was

    fake.files.readOnly.insert(diary);
    fake.messages.answer({MsgAnswer::Ok});
    form->openGivenFile(diary);
    ASSERT_EQ(fake.messages.shown.size(), 2);
    EXPECT_EQ(fake.messages.shown[1].caption, u"日記HTMLを開く"_s);
    EXPECT_TRUE(fake.messages.shown[1].text.startsWith(diary + u"\nこのファイルは書き込み禁止"_s));
    EXPECT_TRUE(form->state().CurrentFileName.isEmpty());
}

// A hand-over brings a minimised window back; its file waits for an open modal window to close.
TEST_F(GivenFileTest, AHandOverComesToTheFrontAndWaitsForAModalWindow)
{
    form->showMinimized();
    form->takeHandOver(QString());
    EXPECT_FALSE(form->isMinimized());

    QDialog busy(form.get());
    busy.setModal(true);
    busy.show();
    form->takeHandOver(diary);
    QApplication::processEvents();
    EXPECT_TRUE(form->state().CurrentFileName.isEmpty());
    busy.accept();
    QApplication::processEvents();
    EXPECT_EQ(form->state().CurrentFileName, diary);
}

// The window comes back where it closed, through the settings file; a place that fits on no
// screen any more gives the first run's size.
TEST(WindowPlaceRoundTrip, TheWindowComesBackWhereItClosed)
{
    QTemporaryDir folder;
    QtKeyStore store(folder.filePath(u"Quillode.conf"_s));
    FakePlatform fake;
    const Platform platform{fake.messages, fake.fileDialogs, fake.clipboard, fake.clock,
                            fake.system,   fake.files,       store};
    const QRect place(40, 30, 600, 420);
    {
        TMainForm form(platform);
        form.show();
        form.setGeometry(place);
        ASSERT_TRUE(form.close());
    }
    {
        TMainForm again(platform);
        again.show();
        EXPECT_EQ(again.geometry(), place);
        again.showMaximized();
        ASSERT_TRUE(again.close());
    }
    TMainForm maximised(platform);
    maximised.show();
    EXPECT_TRUE(maximised.isMaximized());
    EXPECT_EQ(maximised.normalGeometry(), place);
    maximised.showNormal();
    maximised.setGeometry(QRect(5000, 30, 600, 420));
    ASSERT_TRUE(maximised.close());
    TMainForm offScreen(platform);
    EXPECT_EQ(offScreen.size(), QSize(560, 385));
}

} // namespace
