#include "app/TMainForm.h"
#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "entry/EntryInserter.h"
#include "entry/ItemComboBox.h"
#include "entry/TWeatherForm.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "platform/FileDialogs.h"
#include "support/FakePlatform.h"
#include "support/ModalCloser.h"
#include "support/TodayControls.h"
#include "support/Typing.h"
#include "text/LineEnds.h"
#include "text/TextEncoding.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextCursor>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString dateLine = u"<font color=\"#ff0000\"><b>1999年3月27日(土)</b></font>"
                         u" <font color=\"#ffccaa\"><b>晴れ</b></font>\r\n"_s;
const QString titleLine = u"<BR><STRONG><font color=\"#008000\">今日の題</font></STRONG>\r\n"_s;
const QString main1Line = u"<DIV STYLE=\"margin-left:20pt;\">\r\n"_s;
const QString workFile = u"/opt/pelmora/temp.pmr"_s;

// The first tab, the diary tab with its document and the weather colour window, as the main
// window holds them; the diary reads "前" and "後" with the cursor at the start of "後".
class EntryInsertionTest : public testing::Test {
protected:
    void SetUp() override
    {
        fake.clock.date = QDate(1999, 3, 27);
        entry::FillHtmlDefaults(state.Html, state.NewProcessFlag);
        state.ProgramFolder = u"/opt/pelmora/"_s;
        today->ClearTodayEntry();
        ui.WeatherBox->selectItem(0);
        state.TodayTitle = u"今日の題"_s;
        setBody(u"一行目\r\n二行目"_s);
        setEditorText(diary->AllMemo, u"前\r\n後"_s);
        document->ResetAfterLoad();
        select(2, 2);
        fake.clipboard.content = u"held"_s;
    }

    void setBody(const QString& body)
    {
        setEditorText(ui.TodayMemo, body);
        ui.TodayMemo->document()->setModified(true);
    }
    void select(int from, int to)
    {
        QTextCursor cursor = diary->AllMemo->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        diary->AllMemo->setTextCursor(cursor);
    }
    void insert(std::initializer_list<MsgAnswer> answers = {MsgAnswer::Yes})
    {
        fake.messages.answer(answers);
        inserter.InsertDiaryBtnClick();
    }
    QString diaryText() const { return editorText(diary->AllMemo); }
    QStringList captions() const
    {
        QStringList list;
        for (const Message& m : fake.messages.shown)
            list << m.caption;
        return list;
    }

    FakePlatform fake;
    MainState state;
    QWidget host;
    TodayEntryTab* today = new TodayEntryTab(state, fake.clock, &host);
    const TodayControls ui{today};
    DiaryFileTab* diary = new DiaryFileTab(&host);
    FileDialogSettings openDialog;
    FileDialogSettings saveDialog;
    DiaryDocument* document =
        new DiaryDocument(state, diary, fake.platform(), openDialog, saveDialog, {}, &host);
    TWeatherForm* weather = new TWeatherForm(
        state.Html, [this] { return today->entryWithoutBody().weatherText; }, fake.messages,
        fake.system, &host);
    EntryInserter inserter{today, diary, state, fake.platform(),
                           [this] { return weather->askColour(); }};
};

TEST_F(EntryInsertionTest, InsertsTheEntryAtTheCursor)
{
    struct Case {
        const char* name;
        QString flags;
        QString body;
        QString inserted;
        QString clipboard; // LF line ends, as copying from an editor gives
    };
    const Case cases[] = {
        {"WorkedExample", u"00011"_s, u"一行目\r\n二行目"_s,
         dateLine + titleLine + main1Line + u"一行目\r\n二行目</DIV>\r\n"_s, u"一行目\n二行目"_s},
        {"AutomaticBreaks", u"00010"_s, u"一行目\r\n二行目"_s,
         dateLine + titleLine + main1Line + u"一行目<BR>\r\n二行目<BR>\r\n</DIV>\r\n"_s,
         u"一行目<BR>\n二行目<BR>\n"_s},
        {"AutomaticBreaksBodyEndingInALineBreak", u"00010"_s, u"a\r\n\r\nb\r\n"_s,
         dateLine + titleLine + main1Line + u"a<BR>\r\n<BR>\r\nb<BR>\r\n</DIV>\r\n"_s,
         u"a<BR>\n<BR>\nb<BR>\n"_s},
        {"RuleAfterEntry", u"00001"_s, u"本文\r\n"_s,
         dateLine + titleLine + main1Line + u"本文\r\n</DIV>\r\n<HR>\r\n"_s, u"本文\n"_s},
        {"EmptyBodyLeavesTheClipboard", u"00011"_s, u""_s,
         dateLine + titleLine + main1Line + u"</DIV>\r\n"_s, u"held"_s},
        {"EmptyBodyWithBreaks", u"00010"_s, u""_s,
         dateLine + titleLine + main1Line + u"</DIV>\r\n"_s, u"held"_s},
        {"MarkupAndTabsAsTyped", u"00011"_s, u"<b>&amp;\t\"</b>"_s,
         dateLine + titleLine + main1Line + u"<b>&amp;\t\"</b></DIV>\r\n"_s, u"<b>&amp;\t\"</b>"_s},
    };
    for (const Case& c : cases) {
        SetUp();
        fake.messages.shown.clear();
        state.Html.HtmlSetFlags = HtmlFlags(c.flags);
        setBody(c.body);
        insert();
        EXPECT_EQ(diaryText(), u"前\r\n"_s + c.inserted + u"後"_s) << c.name;
        EXPECT_EQ(fake.clipboard.content, c.clipboard) << c.name;
        EXPECT_EQ(captions(), QStringList{u"日記挿入確認"_s}) << c.name;
        EXPECT_FALSE(fake.files.exists(workFile)) << c.name;
        // The body counts as used; it stays, all selected.
        EXPECT_FALSE(ui.TodayMemo->document()->isModified()) << c.name;
        EXPECT_EQ(editorText(ui.TodayMemo), c.body) << c.name;
        EXPECT_EQ(selectedEditorText(ui.TodayMemo), c.body) << c.name;
        EXPECT_TRUE(document->isModified()) << c.name;
        EXPECT_TRUE(document->saveOffered()) << c.name;
    }
    const Message& question = fake.messages.shown[0];
    EXPECT_EQ(question.text, u"カーソル位置に、今日の日記本文を挿入してもよろしいですか？"_s);
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_EQ(question.icon, MsgIcon::Question);
}

TEST_F(EntryInsertionTest, TheBodyGoesInWhateverTheClipboardGivesBack)
{
    for (const QString& flags : {u"00011"_s, u"00010"_s}) {
        SetUp();
        state.Html.HtmlSetFlags = HtmlFlags(flags);
        setBody(u"本文"_s);
        fake.clipboard.changedByOthers = u"他のアプリの文字"_s;
        insert();
        const QString body = flags == u"00011" ? u"本文"_s : u"本文<BR>\r\n"_s;
        EXPECT_EQ(diaryText(),
                  u"前\r\n"_s + dateLine + titleLine + main1Line + body + u"</DIV>\r\n後"_s)
            << flags.toStdString();
        EXPECT_EQ(fake.clipboard.content, text::toEditorText(body)) << flags.toStdString();
    }
}

TEST_F(EntryInsertionTest, AnsweringNoChangesNothing)
{
    insert({MsgAnswer::No});
    EXPECT_EQ(diaryText(), u"前\r\n後"_s);
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(fake.clipboard.content, u"held"_s);
    EXPECT_TRUE(ui.TodayMemo->document()->isModified());
}

TEST_F(EntryInsertionTest, SelectedTextIsReplacedAndTheSameEntryGoesInTwice)
{
    state.TodayTitle.clear();
    setBody(u"本文"_s);
    const QString entry = dateLine + main1Line + u"本文</DIV>\r\n"_s;
    select(0, 1); // "前"
    insert();
    insert();
    EXPECT_EQ(diaryText(), entry + entry + u"\r\n後"_s);
}

TEST_F(EntryInsertionTest, TypedWeatherTakesItsColourFromTheWindowInOneUndoStep)
{
    struct Case {
        const char* name;
        std::function<void(TWeatherForm*)> answer;
        QString colour;
    };
    const Case cases[] = {
        {"RainColour",
         [](TWeatherForm* w) {
             w->RB3->click();
             w->ReturnButton->click();
         },
         u"<font color=\"#aaccff\"><b>"_s},
        {"TypedColour",
         [](TWeatherForm* w) {
             w->RB0->click();
             w->ColorEdit->setText(u"navy"_s);
             w->ReturnButton->click();
         },
         u"<FONT COLOR=\"navy\">"_s},
        {"ClosedWithItsCloseBox", [](TWeatherForm* w) { w->close(); }, u""_s},
    };
    for (const Case& c : cases) {
        SetUp();
        ui.WeatherBox->selectItem(-1);
        typeText(ui.WeatherBox->lineEdit(), u"霧"_s);
        ModalCloser closer([&](QDialog* dialog) {
            auto* form = qobject_cast<TWeatherForm*>(dialog);
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(form->WeatherEdit->text(), u"霧"_s);
            c.answer(form);
        });
        insert();
        EXPECT_EQ(closer.opened, QStringList{u"TWeatherForm"_s}) << c.name;
        EXPECT_EQ(diaryText(), u"前\r\n<font color=\"#ff0000\"><b>1999年3月27日(土)</b></font> "_s
                                   + c.colour + u"霧</b></font>\r\n"_s + titleLine + main1Line
                                   + u"一行目\r\n二行目</DIV>\r\n後"_s)
            << c.name;
        EXPECT_EQ(fake.system.sounds.size(), 1) << c.name;
        fake.system.sounds.clear();

        diary->AllMemo->undo();
        EXPECT_EQ(diaryText(), u"前\r\n後"_s) << c.name;
        EXPECT_FALSE(diary->AllMemo->document()->isUndoAvailable()) << c.name;
    }
}

TEST_F(EntryInsertionTest, WorkFileFailuresInsertTheBodyWithoutBreaks)
{
    struct Case {
        const char* name;
        std::function<void(FakeFiles&)> arrange;
        QStringList captions;
        QString body;
        bool fileRemains;
    };
    const QString plain = u"一行目\r\n二行目</DIV>\r\n"_s;
    const QString broken = u"一行目<BR>\r\n二行目<BR>\r\n</DIV>\r\n"_s;
    const QString stop = u"自動挿入の中止"_s;
    const Case cases[] = {
        {"WriteProtectedLeftover",
         [](FakeFiles& f) {
             f.files[workFile] = "old";
             f.readOnly << workFile;
         },
         {u"日記挿入確認"_s, u"Temp File WriteProtect Error."_s, stop},
         plain,
         true},
        {"WriteFails",
         [](FakeFiles& f) { f.failingWrites << workFile; },
         {u"日記挿入確認"_s, u"File Writting Error."_s, stop},
         plain,
         false},
        {"OpenFails",
         [](FakeFiles& f) { f.unreadable << workFile; },
         {u"日記挿入確認"_s, u"File Open Error."_s, stop},
         plain,
         true},
        {"DeleteFails",
         [](FakeFiles& f) { f.undeletable << workFile; },
         {u"日記挿入確認"_s, u"File Delete Error."_s},
         broken,
         true},
    };
    for (const Case& c : cases) {
        SetUp();
        fake.files.files.clear();
        fake.files.readOnly.clear();
        fake.files.unreadable.clear();
        fake.files.failingWrites.clear();
        fake.files.undeletable.clear();
        fake.messages.shown.clear();
        c.arrange(fake.files);
        state.Html.HtmlSetFlags = HtmlFlags(u"00000"_s);
        insert({MsgAnswer::Yes, MsgAnswer::Ok, MsgAnswer::Ok});
        fake.messages.answers.clear();
        EXPECT_EQ(captions(), c.captions) << c.name;
        EXPECT_EQ(diaryText(),
                  u"前\r\n"_s + dateLine + titleLine + main1Line + c.body + u"<HR>\r\n後"_s)
            << c.name;
        EXPECT_EQ(fake.files.exists(workFile), c.fileRemains) << c.name;
        EXPECT_FALSE(ui.TodayMemo->document()->isModified()) << c.name;
        if (c.captions.size() == 3) {
            const Message& last = fake.messages.shown.last();
            EXPECT_EQ(last.text, u"エラー発生のため、改行タグの自動挿入は実行できませんでした。\n"
                                 u"（改行タグを付加しない状態で、挿入しました。）"_s);
            EXPECT_EQ(last.icon, MsgIcon::Information);
            EXPECT_EQ(editorText(ui.WorkMemo), QString()) << c.name;
        }
    }
}

// Through the main window: the button runs the command, and closing afterwards asks only about
// the diary, not about the body.
TEST(InsertDiaryCommandTest, AfterInsertingTheBodyIsNoLongerAskedAbout)
{
    FakePlatform fake;
    fake.clock.date = QDate(1999, 3, 27);
    auto form = std::make_unique<TMainForm>(fake.platform());
    form->state().FirstPageChangeFlag = FirstPageChange::Never;
    form->show();
    form->findChild<QTabWidget*>(u"PageControl1"_s)->setCurrentIndex(1);
    const QString path = u"/home/writer/diary.htm"_s;
    fake.files.files.insert(path, QByteArray("<html>\r\n"));
    fake.fileDialogs.answers.push_back(path);
    form->diaryTab()->OpenDiaryBtn->click();
    typeText(form->todayTab()->bodyEditor(), u"本文"_s);

    fake.messages.answer({MsgAnswer::Yes});
    form->diaryTab()->InsertDiaryBtn->click();
    EXPECT_TRUE(editorText(form->diaryTab()->AllMemo).contains(u"本文</DIV>\r\n"_s));
    EXPECT_TRUE(form->diaryTab()->SaveDiaryBtn->isEnabled());
    EXPECT_TRUE(form->findChild<QAction*>(u"FileAllSave"_s)->isEnabled());

    fake.messages.answer({MsgAnswer::No}); // do not save the diary
    EXPECT_TRUE(form->close());
    ASSERT_EQ(fake.messages.shown.size(), 2);
    EXPECT_EQ(fake.messages.shown[1].text, u"編集内容は保存されていません。\n保存しますか？"_s);
}

} // namespace

// A diary in each encoding takes an entry (typed weather, characters Shift-JIS lacks) and is
// saved as the bytes it had, with the entry's bytes in the diary's encoding at the cursor.
TEST_F(EntryInsertionTest, AnEntryIsSavedInTheDiarysOwnEncoding)
{
    struct Case {
        const char* name;
        text::FileEncoding encoding;
        QByteArray circledOne, yoshi, emoji; // ①, 𠮷, 😀 as the file holds them
    };
    const Case cases[] = {
        {"Shift-JIS", {text::Encoding::ShiftJis}, "\x87\x40", "&#134071;", "&#128512;"},
        {"EUC-JP", {text::Encoding::EucJp}, "\xAD\xA1", "&#134071;", "&#128512;"},
        {"UTF-8", {text::Encoding::Utf8}, "\xE2\x91\xA0", "\xF0\xA0\xAE\xB7", "\xF0\x9F\x98\x80"},
        {"UTF-8 with BOM",
         {text::Encoding::Utf8, true},
         "\xE2\x91\xA0",
         "\xF0\xA0\xAE\xB7",
         "\xF0\x9F\x98\x80"},
    };
    const QString path = u"/home/w/diary.htm"_s;
    for (const Case& c : cases) {
        SetUp();
        fake.messages.answers.clear();
        // A stray byte (0xFF is a character in none of them) that must come back as it was.
        const QByteArray before =
            text::encodeFromEditor(u"<p>前</p>\n"_s, c.encoding).bytes + "\xFF\r\n";
        const QByteArray after =
            text::encodeFromEditor(u"<p>後</p>\n"_s, {c.encoding.encoding}).bytes;
        fake.files.files[path] = before + after;
        ASSERT_TRUE(document->OpenDiaryFile(path)) << c.name;
        EXPECT_EQ(document->encoding(), c.encoding) << c.name;
        EXPECT_EQ(diary->PanelEncoding->text(), text::fileFormatName(c.encoding)) << c.name;
        const QString opened = rawEditorText(diary->AllMemo);
        const int cursor = int(opened.indexOf(u"<p>後"));
        select(cursor, cursor);
        ui.WeatherBox->selectItem(-1);
        typeText(ui.WeatherBox->lineEdit(), u"霧"_s);
        setBody(u"金燕凛①𠮷😀"_s);
        ModalCloser closer(
            [](QDialog* dialog) { qobject_cast<TWeatherForm*>(dialog)->ReturnButton->click(); });
        insert();
        const QString now = rawEditorText(diary->AllMemo);
        const QString entry = now.mid(cursor, now.size() - opened.size());
        ASSERT_TRUE(entry.contains(u"霧") && entry.contains(u"金燕凛")) << c.name;
        fake.messages.answer({MsgAnswer::Ok}); // the references, told
        ASSERT_TRUE(document->SaveDiary()) << c.name;

        const QByteArray entryBytes = text::encodeFromEditor(entry, {c.encoding.encoding}).bytes;
        EXPECT_EQ(fake.files.files[path].toHex().toStdString(),
                  (before + entryBytes + after).toHex().toStdString())
            << c.name;
        EXPECT_TRUE(entryBytes.contains(c.circledOne + c.yoshi + c.emoji)) << c.name;
        EXPECT_EQ(entryBytes.contains("&#"), c.encoding.encoding != text::Encoding::Utf8) << c.name;
    }
}
