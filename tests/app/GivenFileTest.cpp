#include "app/TMainForm.h"
#include "document/DiaryFileTab.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "settings/QtKeyStore.h"
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

using namespace Qt::StringLiterals;

namespace {

// A drag that enters the widget and is dropped there; the file opens once the drop is over.
void drop(QWidget* target, const QList<QUrl>& urls, const QString& text = {})
{
    QMimeData data;
    data.setUrls(urls);
    data.setText(text);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    QApplication::processEvents();
}

// Dropped on the window or on an editor, a file (the first of several) opens on the second tab
// as the open command opens it, asking first about a modified document; text drops still insert.
TEST(GivenFile, ADroppedFileOpensWhereverItIsDropped)
{
    FakePlatform fake;
    const QString diary = u"/home/w/diary.htm"_s, other = u"/home/w/other.htm"_s;
    fake.files.files.insert(diary, "<html>\r\n");
    fake.files.files.insert(other, "other\r\n");
    TMainForm form(fake.platform());
    form.state().FirstPageChangeFlag = FirstPageChange::Never;
    form.show();
    QPlainTextEdit* all = form.diaryTab()->AllMemo;

    drop(&form, {QUrl::fromLocalFile(diary), QUrl::fromLocalFile(other)});
    EXPECT_EQ(form.findChild<QTabWidget*>(u"PageControl1"_s)->currentIndex(), 1);
    EXPECT_EQ(form.state().CurrentFileName, diary);
    EXPECT_EQ(editorText(all), u"<html>\r\n"_s);

    typeText(all, u"x"_s);
    fake.messages.answer({MsgAnswer::No});
    drop(all->viewport(), {QUrl::fromLocalFile(other)});
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_EQ(fake.messages.shown[0].text, u"編集内容は保存されていません。\n保存しますか？"_s);
    EXPECT_EQ(editorText(all), u"other\r\n"_s);

    drop(form.todayTab()->bodyEditor()->viewport(), {QUrl::fromLocalFile(diary)});
    EXPECT_EQ(form.state().CurrentFileName, diary);
    EXPECT_TRUE(editorText(form.todayTab()->bodyEditor()).isEmpty());

    drop(all->viewport(), {}, u"<br>"_s);
    EXPECT_TRUE(editorText(all).contains(u"<br>"_s));

    // Handed over while a modal window is open, the file waits for it to close.
    fake.messages.answer({MsgAnswer::No});
    QDialog busy(&form);
    busy.setModal(true);
    busy.show();
    form.takeHandOver(other);
    EXPECT_EQ(form.state().CurrentFileName, diary);
    busy.accept();
    QApplication::processEvents();
    EXPECT_EQ(form.state().CurrentFileName, other);
}

// The window comes back where it closed, maximised or not, through the settings file; a place
// that fits on no screen any more gives the first run's size.
TEST(GivenFile, TheWindowComesBackWhereItClosed)
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
        form.showMaximized();
        ASSERT_TRUE(form.close());
    }
    TMainForm again(platform);
    again.show();
    EXPECT_TRUE(again.isMaximized());
    EXPECT_EQ(again.normalGeometry(), place);
    again.showNormal();
    again.move(5000, 30);
    ASSERT_TRUE(again.close());
    EXPECT_EQ(TMainForm(platform).size(), QSize(560, 385));
}

} // namespace
