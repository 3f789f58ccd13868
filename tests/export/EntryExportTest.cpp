#include "export/EntryExport.h"
#include "core/AppError.h"
#include "core/MainState.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "platform/ItemComboBox.h"
#include "support/FakePlatform.h"
#include "support/TodayControls.h"
#include "text/Cp932.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString textFilter =
    u"全てのテキストファイル|*.txt;*.log;*.doc;|テキストファイル(*.txt)|*.txt|"
    "全てのファイル(*.*)|*.*"_s;

class EntryExportTest : public testing::Test {
protected:
    void SetUp() override
    {
        dialog.filter = textFilter;
        dialog.overwritePrompt = true;
        ui.YearEdit->setText(u"2001"_s);
        ui.MonthEdit->setText(u"5"_s);
        ui.DateEdit->setText(u"3"_s);
        ui.WeatherBox->selectItem(0); // 晴れ
        state.TodayTitle = u"散歩"_s;
        setEditorText(ui.TodayMemo, u"今日は晴れ。\r\n公園へ行った。"_s);
    }

    const Message& lastMessage() const { return fake.messages.shown.constLast(); }

    FakePlatform fake;
    MainState state;
    TodayEntryTab today{state, fake.clock};
    TodayControls ui{&today};
    FileDialogSettings dialog;
    text::LineEnd diaryLineEnd = text::LineEnd::CrLf;
    EntryExport exporter{&today, fake.platform(), dialog, [this] { return diaryLineEnd; }};
};

struct DialogCase {
    const char* name;
    void (EntryExport::*command)();
    QString title;
    QString defaultExt;
    int filterIndex;
    QString proposed;
    QString caption;
    QString text;
};

class ExportDialogs : public EntryExportTest, public testing::WithParamInterface<DialogCase> {};

// Set-up of the shared dialog, the file written byte for byte, the notice; twice in a row, to see
// that the second showing proposes the stem again and not the path chosen the first time.
TEST_P(ExportDialogs, ProposeTheStemWriteTheFileAndSaySo)
{
    const DialogCase& c = GetParam();
    const QString path = u"/home/writer/"_s + c.proposed;
    for (int run = 0; run < 2; ++run) {
        fake.fileDialogs.answers.push_back(path);
        fake.messages.answer({MsgAnswer::Ok});
        (exporter.*c.command)();

        const FileDialogSettings& shown = fake.fileDialogs.saved.constLast();
        EXPECT_EQ(shown.title, c.title);
        EXPECT_EQ(shown.defaultExt, c.defaultExt);
        EXPECT_EQ(shown.filterIndex, c.filterIndex);
        EXPECT_EQ(shown.fileName, c.proposed);
        EXPECT_EQ(shown.filter, textFilter);
        EXPECT_TRUE(shown.overwritePrompt);
        EXPECT_EQ(fake.files.files.value(path), text::encodeCp932(c.text).bytes);
        EXPECT_EQ(today.workText(), c.text);
        EXPECT_EQ(lastMessage().text, u"保存しました。"_s);
        EXPECT_EQ(lastMessage().caption, c.caption);
        EXPECT_EQ(lastMessage().icon, MsgIcon::Information);
    }
    EXPECT_EQ(fake.fileDialogs.saved.size(), 2);
    EXPECT_EQ(fake.messages.shown.size(), 2);
    // The entry is read, never changed.
    EXPECT_EQ(editorText(ui.TodayMemo), u"今日は晴れ。\r\n公園へ行った。"_s);
    EXPECT_EQ(state.TodayTitle, u"散歩"_s);
    EXPECT_EQ(ui.WeatherBox->currentIndex(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ExportDialogs,
    testing::Values(
        DialogCase{"Text", &EntryExport::FileTodaySaveTextClick,
                   u"テキストファイルの保存先を指定"_s, u"txt"_s, 2, u"d20010503.txt"_s,
                   u"テキスト形式での保存"_s,
                   u"2001年5月3日(木) 晴れ\r\n\r\n[散歩]\r\n今日は晴れ。\r\n公園へ行った。\r\n"_s},
        DialogCase{
            "Hnf", &EntryExport::FileTodaySaveHnfClick,
            u"ハイパー日記システムファイルの保存先を指定"_s, u"hnf"_s, 1, u"d20010503.hnf"_s,
            u"ハイパー日記システム形式での保存"_s,
            u"TENKI 晴れ\r\nOK\r\n\r\nNEW 散歩\r\n今日は晴れ。\r\n公園へ行った。\r\n~\r\n"_s}),
    [](const testing::TestParamInfo<DialogCase>& info) { return info.param.name; });

TEST_F(EntryExportTest, CancelWritesNothingAndSaysNothing)
{
    for (auto command :
         {&EntryExport::FileTodaySaveTextClick, &EntryExport::FileTodaySaveHnfClick}) {
        fake.fileDialogs.answers.push_back(std::nullopt);
        (exporter.*command)();
    }
    EXPECT_TRUE(fake.files.files.isEmpty());
    EXPECT_TRUE(fake.messages.shown.isEmpty());
}

// The file is replaced whole or not at all; the general handler gets the path.
TEST_F(EntryExportTest, AFileThatCannotBeWrittenIsReportedAndKeepsItsBytes)
{
    const QString path = u"/full/d20010503.txt"_s;
    fake.files.files.insert(path, "old");
    fake.files.failingWrites.insert(path);
    fake.fileDialogs.answers.push_back(path);
    try {
        exporter.FileTodaySaveTextClick();
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.text(), u"ﾌｧｲﾙ /full/d20010503.txt を作成できません"_s);
    }
    EXPECT_EQ(fake.files.files.value(path), "old");
    EXPECT_TRUE(fake.messages.shown.isEmpty()); // no success notice
}

TEST_F(EntryExportTest, AWriteProtectedTargetIsRefusedAndTheDialogComesBack)
{
    const QString locked = u"/home/writer/locked.hnf"_s;
    const QString free = u"/home/writer/free.hnf"_s;
    fake.files.files.insert(locked, "keep");
    fake.files.readOnly.insert(locked);
    fake.fileDialogs.answers = {locked, free};
    fake.messages.answer({MsgAnswer::Ok, MsgAnswer::Ok});
    exporter.FileTodaySaveHnfClick();

    EXPECT_EQ(fake.fileDialogs.saved.size(), 2);
    EXPECT_TRUE(fake.messages.shown.at(0).text.contains(u"書き込み禁止"_s));
    EXPECT_EQ(fake.files.files.value(locked), "keep");
    EXPECT_TRUE(fake.files.files.value(free).startsWith("TENKI "));
    EXPECT_EQ(lastMessage().text, u"保存しました。"_s);
}

TEST_F(EntryExportTest, HnfNeedsATitleAndAsksForNothingWithout)
{
    state.TodayTitle.clear();
    today.setWorkText(u"scratch"_s);
    fake.messages.answer({MsgAnswer::Ok});
    exporter.FileTodaySaveHnfClick();

    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_EQ(lastMessage().text,
              u"ハイパー日記システム形式で保存するには、日記タイトルの入力が必須です。\n"
              "「今日の日記にタイトルを付ける」ボタンで、タイトルを入力して下さい。"_s);
    EXPECT_EQ(lastMessage().caption, u"変換要素不足"_s);
    EXPECT_EQ(lastMessage().icon, MsgIcon::Stop);
    EXPECT_EQ(lastMessage().buttons, MsgButtons::Ok);
    EXPECT_TRUE(fake.fileDialogs.saved.isEmpty());
    EXPECT_EQ(today.workText(), u"scratch"_s);
}

// Digits typed full-width through an input method still give the weekday, and the date goes
// into the file as typed.
TEST_F(EntryExportTest, FullWidthDateDigitsGiveTheWeekdayAndStayAsTyped)
{
    ui.YearEdit->setText(u"２００１"_s);
    ui.MonthEdit->setText(u"０５"_s);
    EXPECT_EQ(ui.DayBox->currentText(), u"(木)"_s);

    fake.fileDialogs.answers.push_back(u"/d.txt"_s);
    fake.messages.answer({MsgAnswer::Ok});
    exporter.FileTodaySaveTextClick();
    EXPECT_TRUE(fake.files.files.value(u"/d.txt"_s)
                    .startsWith(text::encodeCp932(u"２００１年０５月3日(木) 晴れ\r\n"_s).bytes));
    EXPECT_EQ(ui.YearEdit->text(), u"２００１"_s);
}

// A body pasted from a web page holds no-break spaces; both exports write them as blanks and
// neither refuses nor warns.
TEST_F(EntryExportTest, NoBreakSpacesAreWrittenAsBlanks)
{
    setEditorText(ui.TodayMemo, u"晴れ\u00A0\u00A0のち雨"_s);
    state.TodayTitle = u"散\u00A0歩"_s;
    fake.fileDialogs.answers = {u"/d.txt"_s, u"/d.hnf"_s};
    fake.messages.answer({MsgAnswer::Ok, MsgAnswer::Ok});
    exporter.FileTodaySaveTextClick();
    exporter.FileTodaySaveHnfClick();

    EXPECT_EQ(
        fake.files.files.value(u"/d.txt"_s),
        text::encodeCp932(u"2001年5月3日(木) 晴れ\r\n\r\n[散 歩]\r\n晴れ  のち雨\r\n"_s).bytes);
    EXPECT_EQ(
        fake.files.files.value(u"/d.hnf"_s),
        text::encodeCp932(u"TENKI 晴れ\r\nOK\r\n\r\nNEW 散 歩\r\n晴れ  のち雨\r\n~\r\n"_s).bytes);
    ASSERT_EQ(fake.messages.shown.size(), 2);
    EXPECT_EQ(fake.messages.shown.at(0).text, u"保存しました。"_s);
    EXPECT_EQ(fake.messages.shown.at(1).text, u"保存しました。"_s);
}

// Both exports end their lines as the diary does.
TEST_F(EntryExportTest, ExportsTakeTheDiarysLineEnds)
{
    diaryLineEnd = text::LineEnd::Lf;
    fake.fileDialogs.answers = {u"/d.txt"_s, u"/d.hnf"_s};
    fake.messages.answer({MsgAnswer::Ok, MsgAnswer::Ok});
    exporter.FileTodaySaveTextClick();
    diaryLineEnd = text::LineEnd::Cr;
    exporter.FileTodaySaveHnfClick();
    EXPECT_EQ(
        fake.files.files.value(u"/d.txt"_s),
        text::encodeCp932(u"2001年5月3日(木) 晴れ\n\n[散歩]\n今日は晴れ。\n公園へ行った。\n"_s)
            .bytes);
    EXPECT_EQ(fake.files.files.value(u"/d.hnf"_s),
              text::encodeCp932(u"TENKI 晴れ\rOK\r\rNEW 散歩\r今日は晴れ。\r公園へ行った。\r~\r"_s)
                  .bytes);
}

// A plain text file cannot carry an emoji, so the text export refuses before any dialog; the
// entry file's body is HTML and takes the character as a numeric reference.
TEST_F(EntryExportTest, ACharacterShiftJisCannotHold)
{
    setEditorText(ui.TodayMemo, u"晴れ😀"_s);

    fake.messages.answer({MsgAnswer::Ok});
    exporter.FileTodaySaveTextClick();
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_TRUE(lastMessage().text.contains(u"😀  (U+1F600)"_s)) << lastMessage().text.toStdString();
    EXPECT_EQ(lastMessage().caption, u"テキスト形式での保存"_s);
    EXPECT_EQ(lastMessage().icon, MsgIcon::Stop);
    EXPECT_TRUE(fake.fileDialogs.saved.isEmpty());

    fake.fileDialogs.answers.push_back(u"/d.hnf"_s);
    fake.messages.answer({MsgAnswer::Ok, MsgAnswer::Ok});
    exporter.FileTodaySaveHnfClick();
    EXPECT_TRUE(
        fake.files.files.value(u"/d.hnf"_s).endsWith("\r\n\x90\xb0\x82\xea&#128512;\r\n~\r\n"));
    ASSERT_EQ(fake.messages.shown.size(), 3);
    EXPECT_EQ(fake.messages.shown.at(1).text, u"保存しました。"_s);
    EXPECT_TRUE(fake.messages.shown.at(2).text.contains(u"&#128512;"_s));
}

} // namespace
