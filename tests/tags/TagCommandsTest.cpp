#include "tags/TagCommands.h"
#include "core/MainState.h"
#include "platform/EditorText.h"
#include "support/FakePlatform.h"
#include "support/ModalCloser.h"
#include "tags/TDecorationForm.h"
#include "tags/TGraphicForm.h"
#include "tags/TLinkForm.h"
#include "text/LineEnds.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

namespace {

class TagCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        setEditorText(today, u"今日の本文\r\n二行目"_qs);
        setEditorText(diary, u"<HTML>\r\n</HTML>"_qs);
    }

    QPlainTextEdit* editor() { return state.CurrentPage == Page::Today ? today : diary; }
    // Selects from..to (characters) in the editor of the tab in front.
    void select(int from, int to)
    {
        QTextCursor cursor = editor()->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        editor()->setTextCursor(cursor);
    }
    QString text() { return editorText(editor()); }
    // Runs the command with `drive` handed the one window it opens.
    void run(void (TagCommands::*command)(), std::function<void(QDialog*)> drive)
    {
        ModalCloser closer(std::move(drive));
        (commands.*command)();
        EXPECT_EQ(closer.opened.size(), 1);
    }
    QString beforeCaret()
    {
        return ::text::fromEditorText(
            editor()->toPlainText().left(editor()->textCursor().position()));
    }

    FakeMessages messages;
    MainState state;
    QWidget window;
    QPlainTextEdit* today = new QPlainTextEdit(&window);
    QPlainTextEdit* diary = new QPlainTextEdit(&window);
    int refocused = 0;
    TLinkForm linkForm;
    TGraphicForm graphicForm;
    TDecorationForm decorationForm;
    TagCommands commands{state,
                         today,
                         diary,
                         messages,
                         {[this]() -> TLinkForm& { return linkForm; },
                          [this]() -> TGraphicForm& { return graphicForm; },
                          [this]() -> TDecorationForm& { return decorationForm; }},
                         [this] { ++refocused; }};
};

TEST_F(TagCommandsTest, LineBreakAndRuleGoInPlaceOfTheSelectionOfTheActiveEditor)
{
    using enum Page;
    struct Case {
        const char* name;
        Page page;
        int from, to;
        void (TagCommands::*command)();
        QString expected;
        int caret; // characters of the expected text before the caret (CR LF counts one)
    };
    const Case cases[] = {
        {"BR today at the start", Today, 0, 0, &TagCommands::BRTagBtnClick,
         u"<BR>\r\n今日の本文\r\n二行目"_qs, 5},
        {"BR today over a selection across the line end", Today, 3, 7, &TagCommands::BRTagBtnClick,
         u"今日の<BR>\r\n行目"_qs, 8},
        {"BR diary at the end", Diary, 14, 14, &TagCommands::BRTagBtnClick,
         u"<HTML>\r\n</HTML><BR>"_qs, 18},
        {"HR today at the end", Today, 9, 9, &TagCommands::HRBtnClick,
         u"今日の本文\r\n二行目\r\n<HR>\r\n"_qs, 15},
        {"HR diary over a selection", Diary, 0, 6, &TagCommands::HRBtnClick,
         u"\r\n<HR>\r\n\r\n</HTML>"_qs, 6},
    };
    for (const Case& c : cases) {
        SetUp();
        state.CurrentPage = c.page;
        select(c.from, c.to);
        QPlainTextEdit* other = c.page == Page::Today ? diary : today;
        const QString otherBefore = editorText(other);
        refocused = 0;
        (commands.*c.command)();
        EXPECT_EQ(text(), c.expected) << c.name;
        EXPECT_EQ(editor()->textCursor().position(), c.caret) << c.name;
        EXPECT_FALSE(editor()->textCursor().hasSelection()) << c.name;
        EXPECT_EQ(editorText(other), otherBefore) << c.name;
        EXPECT_EQ(refocused, 1) << c.name;
    }
}

TEST_F(TagCommandsTest, LinkAndDecorationRefuseAnEmptySelection)
{
    struct Case {
        void (TagCommands::*command)();
        QString message, caption;
    };
    const Case cases[] = {
        {&TagCommands::LinkTagBtnClick,
         u"リンクにしたい文字を範囲選択してから、ボタンをクリックして下さい。"_qs,
         u"リンク設置"_qs},
        {&TagCommands::StyleBtnClick,
         u"装飾したい文字を範囲選択してから、ボタンをクリックして下さい。"_qs, u"文字装飾"_qs},
    };
    for (const Case& c : cases) {
        messages.shown.clear();
        messages.answer({MsgAnswer::Ok});
        refocused = 0;
        select(2, 2);
        ModalCloser closer;
        (commands.*c.command)();
        EXPECT_TRUE(closer.opened.isEmpty()) << c.caption.toStdString();
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text, c.message);
        EXPECT_EQ(messages.shown[0].caption, c.caption);
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(text(), u"今日の本文\r\n二行目"_qs);
        EXPECT_EQ(refocused, 1);
    }
}

TEST_F(TagCommandsTest, WindowsReplaceTheSelectionOnOkOnly)
{
    // Link on the diary, the selection a line end alone.
    state.CurrentPage = Page::Diary;
    select(6, 7);
    run(&TagCommands::LinkTagBtnClick, [](QDialog* d) {
        auto* f = static_cast<TLinkForm*>(d);
        EXPECT_EQ(f->LinkNameEdit->text(), u"\r\n"_qs);
        f->LinkUrlEdit->setText(u"u"_qs);
        f->BitBtn1->click();
    });
    EXPECT_EQ(text(), u"<HTML><A HREF=\"u\">\r\n</A></HTML>"_qs);
    EXPECT_EQ(beforeCaret(), u"<HTML><A HREF=\"u\">\r\n</A>"_qs);

    // Decoration on today's entry.
    state.CurrentPage = Page::Today;
    select(0, 2);
    run(&TagCommands::StyleBtnClick, [](QDialog* d) {
        auto* f = static_cast<TDecorationForm*>(d);
        f->BoldBtn->click();
        f->BitBtn1->click();
    });
    EXPECT_EQ(text(), u"<B>今日</B>の本文\r\n二行目"_qs);
    EXPECT_EQ(beforeCaret(), u"<B>今日</B>"_qs);

    // Image with a selection, once cancelled and once confirmed.
    select(0, 3);
    refocused = 0;
    run(&TagCommands::IMGBtnClick,
        [](QDialog* d) { static_cast<TGraphicForm*>(d)->GraphicFileEdit->setText(u"a.gif"_qs); });
    EXPECT_EQ(text(), u"<B>今日</B>の本文\r\n二行目"_qs);
    EXPECT_EQ(editor()->textCursor().selectedText(), u"<B>"_qs); // the selection as it was
    EXPECT_EQ(refocused, 1);
    run(&TagCommands::IMGBtnClick, [](QDialog* d) {
        auto* f = static_cast<TGraphicForm*>(d);
        f->GraphicFileEdit->setText(u"a.gif"_qs);
        f->BitBtn1->click();
    });
    EXPECT_EQ(text(), u"<IMG SRC=\"a.gif\">今日</B>の本文\r\n二行目"_qs);
}

TEST_F(TagCommandsTest, TheDiaryPlaceholderIsNeverWritten)
{
    state.CurrentPage = Page::Diary;
    diary->setReadOnly(true);
    const QString before = text();
    commands.BRTagBtnClick();
    commands.HRBtnClick();
    EXPECT_EQ(text(), before);
    EXPECT_EQ(refocused, 2);
}

} // namespace
