#include "app/TMainForm.h"
#include "document/DiaryFileTab.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "support/FakePlatform.h"
#include "support/ModalCloser.h"
#include "support/TodayControls.h"
#include "tags/TLinkForm.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

TEST(TagWiring, ShortcutsAndButtonsReachTheActiveEditor)
{
    FakePlatform fake;
    TMainForm form(fake.platform());
    form.state().FirstPageChangeFlag = FirstPageChange::Never;
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto* today = form.todayTab()->bodyEditor();
    auto* all = form.diaryTab()->AllMemo;

    QLineEdit* year = controls(form.todayTab()).YearEdit;
    year->setFocus();
    QTest::keyClick(year, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(editorText(today), u"<BR>\r\n"_qs);
    EXPECT_EQ(form.focusWidget(), today);

    auto* tabs = form.findChild<QTabWidget*>(u"PageControl1"_qs);
    tabs->setCurrentIndex(1);
    const QString placeholder = editorText(all);
    QTest::keyClick(all, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(editorText(all), placeholder);

    const QString path = u"/home/writer/diary.htm"_qs;
    fake.files.files.insert(path, QByteArray("<html>\r\n"));
    fake.fileDialogs.answers.push_back(path);
    form.findChild<QAction*>(u"FileAllOpen"_qs)->trigger();
    ASSERT_FALSE(form.diaryTab()->SaveDiaryBtn->isEnabled());
    QTest::keyClick(all, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(editorText(all), u"\r\n<HR>\r\n<html>\r\n"_qs);
    EXPECT_TRUE(form.diaryTab()->SaveDiaryBtn->isEnabled());
    EXPECT_TRUE(form.findChild<QAction*>(u"FileAllSave"_qs)->isEnabled());

    QTextCursor c = all->textCursor();
    c.setPosition(7);
    c.setPosition(11, QTextCursor::KeepAnchor);
    all->setTextCursor(c);
    {
        ModalCloser closer([](QDialog* d) {
            auto* f = static_cast<TLinkForm*>(d);
            f->LinkUrlEdit->setText(u"u"_qs);
            f->BitBtn1->click();
        });
        form.diaryTab()->LinkTagBtn->click();
        EXPECT_EQ(closer.opened, QStringList{u"TLinkForm"_qs});
    }
    EXPECT_EQ(editorText(all), u"\r\n<HR>\r\n<<A HREF=\"u\">html</A>>\r\n"_qs);
    EXPECT_EQ(form.focusWidget(), all);

    tabs->setCurrentIndex(0);
    fake.messages.answer({MsgAnswer::Ok});
    form.findChild<QAction*>(u"EditDec"_qs)->trigger();
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_EQ(fake.messages.shown[0].caption, u"文字装飾"_qs);
    EXPECT_EQ(form.focusWidget(), today);
}
