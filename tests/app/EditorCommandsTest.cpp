#include "app/EditorCommands.h"
#include "app/PreviewWindow.h"
#include "app/TMainForm.h"
#include "document/DiaryFileTab.h"
#include "document/HtmlColoring.h"
#include "document/LineNumberArea.h"
#include "entry/ItemComboBox.h"
#include "entry/TWeatherForm.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "preview/PageView.h"
#include "support/FakePlatform.h"
#include "support/ModalCloser.h"
#include "support/PageScript.h"
#include "support/TodayControls.h"
#include "support/Typing.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

#include <memory>

namespace {

class EditorCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        fake.clock.date = QDate(1999, 3, 27);
        create();
    }
    void create()
    {
        form = std::make_unique<TMainForm>(fake.platform());
        form->state().FirstPageChangeFlag = FirstPageChange::Never;
        form->show();
    }
    QAction* action(const char* name) { return form->findChild<QAction*>(QLatin1String(name)); }
    EditorCommands* commands() { return form->findChild<EditorCommands*>(); }
    QPlainTextEdit* allMemo() { return form->diaryTab()->AllMemo; }
    void toTab(int index)
    {
        form->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(index);
    }
    void openDiary(const QByteArray& text)
    {
        toTab(1);
        fake.files.files.insert(path, text);
        fake.fileDialogs.answers.push_back(path);
        action("FileAllOpen")->trigger();
    }
    // Today's entry of the worked example: 1999-03-27, 晴れ, a title, two body lines.
    void writeEntry(int weatherItem, const QString& weatherText)
    {
        const TodayControls today(form->todayTab());
        today.WeatherBox->setCurrentText(weatherText);
        today.WeatherBox->selectItem(weatherItem);
        form->state().TodayTitle = QStringLiteral("今日の題");
        setEditorText(today.TodayMemo, QStringLiteral("一行目\r\n二行目"));
    }

    const QString path = QStringLiteral("/home/writer/diary.htm");
    FakePlatform fake;
    std::unique_ptr<TMainForm> form;
};

TEST_F(EditorCommandsTest, ThePreviewShowsTheEntryExactlyAsTheInsertionWritesIt)
{
    struct Case {
        const char* name;
        int weatherItem;
        const char16_t* weather;
        const char16_t* flags;
    };
    const Case cases[] = {{"ListWeather", 0, u"晴れ", u"00011"},
                          {"TypedWeatherWithBreaks", -1, u"霧", u"00000"}};
    for (const Case& c : cases) {
        form->state().Html.HtmlSetFlags = HtmlFlags(QString::fromUtf16(c.flags));
        writeEntry(c.weatherItem, QString::fromUtf16(c.weather));
        const QString preview = commands()->entryHtml();

        openDiary(QByteArray());
        allMemo()->setFocus();
        fake.messages.answer({MsgAnswer::Yes});
        ModalCloser pressOk([](QDialog* d) {
            if (auto* weather = qobject_cast<TWeatherForm*>(d))
                weather->ReturnButton->click();
        });
        form->diaryTab()->InsertDiaryBtn->click();
        EXPECT_EQ(editorText(allMemo()), preview) << c.name;
        allMemo()->document()->setModified(false); // the next open asks nothing
        toTab(0);
    }
}

TEST_F(EditorCommandsTest, ThePreviewWindowRendersTheWorkedExampleInItsColours)
{
    writeEntry(0, QStringLiteral("晴れ"));
    action("ViewPreview")->trigger();
    PreviewWindow* preview = commands()->preview();
    ASSERT_TRUE(preview->isVisible());
    PageView* entry = preview->entryView();
    // Both panes have room from the start, the diary's the larger.
    const int entryHeight = entry->widget()->height();
    const int diaryHeight = preview->diaryView()->widget()->height();
    EXPECT_GT(entryHeight, diaryHeight / 3);
    EXPECT_GT(diaryHeight, entryHeight);
    const QString text = shownText(entry, QStringLiteral("二行目"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("1999年3月27日(土) 晴れ"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("今日の題"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("一行目 二行目"))) << text.toStdString();

    // The colour and weight the engine gives the innermost element holding a word.
    auto styleAt = [&](const QString& word) {
        const QString script =
            QStringLiteral("(function(){var e=document.evaluate(\"//*[contains(text(),'%1')]\","
                           "document,null,9,null).singleNodeValue;var s=getComputedStyle(e);"
                           "return s.color+' '+s.fontWeight;})()")
                .arg(word);
        return pageValue(entry, QStringLiteral("true"), script).toString();
    };
    EXPECT_EQ(styleAt(QStringLiteral("1999")), QStringLiteral("rgb(255, 0, 0) 700"));
    EXPECT_TRUE(styleAt(QStringLiteral("晴れ")).startsWith(QStringLiteral("rgb(255, 204, 170)")));
    EXPECT_TRUE(styleAt(QStringLiteral("今日の題")).startsWith(QStringLiteral("rgb(0, 128, 0)")));

    // The diary pane never renders the editor's request to open a diary as if it were one.
    PageView* diary = preview->diaryView();
    EXPECT_FALSE(
        shownText(diary, QStringLiteral("日記ファイルは")).contains(QStringLiteral("読み込んで")));
    openDiary("<p>\x93\xfa\x8bL 1999</p>\r\n"); // 日記 1999
    preview->refresh();
    EXPECT_EQ(shownText(diary, QStringLiteral("日記 1999")).trimmed(), QStringLiteral("日記 1999"));

    preview->close();
    EXPECT_FALSE(action("ViewPreview")->isChecked());
}

TEST_F(EditorCommandsTest, GoToLineAsksForALineOnTheDiaryTabWithADocument)
{
    EXPECT_FALSE(action("ViewGoToLine")->isEnabled());
    QByteArray text;
    for (int i = 1; i <= 200; ++i)
        text += "<p>" + QByteArray::number(i) + "</p>\r\n";
    openDiary(text);
    ASSERT_TRUE(action("ViewGoToLine")->isEnabled());

    ModalCloser answer([](QDialog* d) {
        auto* box = qobject_cast<QInputDialog*>(d);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->labelText(), QStringLiteral("行番号（1～201）："));
        box->setTextValue(QStringLiteral("150"));
        box->accept();
    });
    action("ViewGoToLine")->trigger();
    EXPECT_EQ(answer.opened, QStringList{QStringLiteral("GoToLineForm")});
    EXPECT_EQ(allMemo()->textCursor().block().text(), QStringLiteral("<p>150</p>"));
    EXPECT_EQ(allMemo()->textCursor().positionInBlock(), 0);
    toTab(0);
    EXPECT_FALSE(action("ViewGoToLine")->isEnabled());
}

// Full-width digits are a number; a number outside the diary goes to the nearest line and
// says which; what is not a number moves nothing and says so.
TEST_F(EditorCommandsTest, GoToLineTakesFullWidthDigitsAndSaysWhichLineItUsed)
{
    const struct {
        const char16_t* typed;
        int line; // from 1; the caret starts on line 10
        const char16_t* said;
    } cases[] = {
        {u" 150 ", 150, nullptr},
        {u"１２３", 123, nullptr},
        {u"0", 1, u"0 行目はありません。1 行目へ移動しました。"},
        {u"99999", 201, u"99999 行目はありません。201 行目へ移動しました。"},
        {u"99999999999999999999", 201,
         u"99999999999999999999 行目はありません。201 行目へ移動しました。"},
        {u"12a", 10, u"行番号は数字で入力してください。"},
        {u"", 10, u"行番号は数字で入力してください。"},
    };
    openDiary(QByteArray("<p>\r\n").repeated(200));
    for (const auto& c : cases) {
        const QString typed = QString::fromUtf16(c.typed);
        goToLine(allMemo(), 10);
        fake.messages.shown.clear();
        if (c.said)
            fake.messages.answer({MsgAnswer::Ok});
        ModalCloser answer([&](QDialog* d) {
            static_cast<QInputDialog*>(d)->setTextValue(typed);
            d->accept();
        });
        action("ViewGoToLine")->trigger();
        EXPECT_EQ(allMemo()->textCursor().blockNumber() + 1, c.line) << typed.toStdString();
        ASSERT_EQ(fake.messages.shown.size(), c.said ? 1 : 0) << typed.toStdString();
        if (c.said) {
            EXPECT_EQ(fake.messages.shown[0].text, QString::fromUtf16(c.said));
        }
    }
}

TEST_F(EditorCommandsTest, ShiftF5SaysSoWhenNoBrowserOpens)
{
    openDiary("<p>\r\n");
    for (const bool found : {true, false}) {
        fake.system.browserFound = found;
        if (!found)
            fake.messages.answer({MsgAnswer::Ok});
        action("ViewBrowser")->trigger();
        EXPECT_EQ(fake.system.browsed.last(), path);
    }
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_EQ(fake.messages.shown[0].text, QStringLiteral("ブラウザを開けませんでした。"));
    EXPECT_EQ(fake.messages.shown[0].icon, MsgIcon::Exclamation);
}

TEST_F(EditorCommandsTest, SaveAndOpenKeysReachTheirCommandsOnlyWhileEnabled)
{
    QSignalSpy opened(action("FileAllOpen"), &QAction::triggered);
    QSignalSpy saved(action("FileAllSave"), &QAction::triggered);
    auto press = [&](QWidget* field, QKeyCombination keys) {
        QApplication::setActiveWindow(form.get());
        field->setFocus();
        QTest::keySequence(field, QKeySequence(keys));
    };
    QWidget* year = controls(form->todayTab()).YearEdit;
    press(year, Qt::CTRL | Qt::Key_S); // first tab: the diary file items are off
    EXPECT_EQ(saved.size(), 0);
    // Ctrl+O there brings the diary tab to the front and opens
    fake.fileDialogs.answers.push_back(std::nullopt); // the open dialog is cancelled
    press(year, Qt::CTRL | Qt::Key_O);
    EXPECT_EQ(opened.size(), 1);

    fake.fileDialogs.answers.push_back(std::nullopt);
    press(allMemo(), Qt::CTRL | Qt::Key_O);
    press(allMemo(), Qt::CTRL | Qt::Key_S); // no document yet
    EXPECT_EQ(opened.size(), 2);
    EXPECT_EQ(saved.size(), 0);

    openDiary("<html>\r\n");
    typeText(allMemo(), QStringLiteral("x"));
    press(allMemo(), Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(saved.size(), 1);
    EXPECT_EQ(fake.files.files.value(path), QByteArray("x<html>\r\n"));
}

TEST_F(EditorCommandsTest, UndoAndRedoFollowTheActiveEditor)
{
    EXPECT_FALSE(action("EditUndo")->isEnabled());
    typeText(form->todayTab()->bodyEditor(), QStringLiteral("本文"));
    EXPECT_TRUE(action("EditUndo")->isEnabled());
    toTab(1); // no document: the diary editor cannot be changed
    EXPECT_FALSE(action("EditUndo")->isEnabled());
    toTab(0);
    action("EditUndo")->trigger();
    EXPECT_TRUE(editorText(form->todayTab()->bodyEditor()).isEmpty());
    EXPECT_TRUE(action("EditRedo")->isEnabled());
    action("EditRedo")->trigger();
    EXPECT_EQ(editorText(form->todayTab()->bodyEditor()), QStringLiteral("本文"));
}

TEST_F(EditorCommandsTest, TheColouringChoiceIsStoredBesideTheSettings)
{
    ASSERT_TRUE(form->diaryTab()->coloring()->isEnabled());
    action("ViewColoring")->trigger();
    EXPECT_FALSE(form->diaryTab()->coloring()->isEnabled());
    ASSERT_TRUE(form->close());
    EXPECT_EQ(fake.keyStore.values.value(QStringLiteral("HtmlColoring")).text, QStringLiteral("0"));
    // the twenty, the colouring, the window place, the date list and its width
    EXPECT_EQ(fake.keyStore.values.size(), 24);

    fake.keyStore.present = true;
    create();
    EXPECT_FALSE(form->diaryTab()->coloring()->isEnabled());
    EXPECT_FALSE(action("ViewColoring")->isChecked());
}

} // namespace
