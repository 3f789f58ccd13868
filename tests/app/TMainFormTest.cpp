#include "app/TMainForm.h"
#include "app/GuideWindow.h"
#include "app/InstallDirs.h"
#include "core/AppError.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "document/HtmlColoring.h"
#include "document/LineNumberArea.h"
#include "entry/ItemComboBox.h"
#include "entry/TodayEntryTab.h"
#include "find/FindBar.h"
#include "platform/EditorText.h"
#include "support/AllWindows.h"
#include "support/FakePlatform.h"
#include "support/ModalCloser.h"
#include "support/TodayControls.h"
#include "support/Typing.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include <memory>

namespace {

class MainFormTest : public testing::Test {
protected:
    void SetUp() override
    {
        fake.clock.date = QDate(1999, 3, 27);
        form = std::make_unique<TMainForm>(fake.platform());
    }

    void showForm() { form->show(); }

    template <typename T> T* child(const char* name)
    {
        T* found = form->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    bool enabled(const char* name)
    {
        if (auto* action = form->findChild<QAction*>(QLatin1String(name)))
            return action->isEnabled();
        return child<QWidget>(name)->isEnabled();
    }
    QTabWidget* tabs() { return child<QTabWidget>("PageControl1"); }
    QPlainTextEdit* todayMemo() { return form->todayTab()->bodyEditor(); }

    FakePlatform fake;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, StartsWithTheFirstTabAndAnEntryDatedToday)
{
    fake.system.programPath = QStringLiteral("/home/writer/pelmora/pelmora");
    form = std::make_unique<TMainForm>(fake.platform());
    EXPECT_EQ(form->state().CurrentPage, Page::Today); // adding the tabs must not count as a switch
    showForm();

    const MainState& s = form->state();
    // "[*]" is shown as "*" while the diary is unsaved, and not at all now.
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Pelmora Ver. 2.20[*]"));
    EXPECT_FALSE(form->isWindowModified());
    EXPECT_EQ(form->size(), QSize(560, 385));
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_EQ(tabs()->tabText(0), QStringLiteral("今日の日記編集"));
    EXPECT_EQ(tabs()->tabText(1), QStringLiteral("日記ファイル全体編集"));
    EXPECT_EQ(s.ProgramFolder, QStringLiteral("/home/writer/pelmora/"));
    EXPECT_EQ(s.CurrentPage, Page::Today);
    EXPECT_EQ(s.DocumentLoaded, false);
    EXPECT_EQ(s.FirstPageChangeFlag, FirstPageChange::ShowAtSwitch);
    EXPECT_EQ(s.NewProcessFlag, true);
    EXPECT_EQ(s.Html.HtmlSetFlags.text(), QStringLiteral("00011"));
    EXPECT_EQ(s.Html.HtmlDate1, QStringLiteral("<font color=\"#ff0000\"><b>")); // defaults filled
    EXPECT_TRUE(s.TodayTitle.isEmpty());
    EXPECT_TRUE(s.CurrentFileName.isEmpty());

    const TodayControls today(form->todayTab());
    EXPECT_EQ(today.YearEdit->text(), QStringLiteral("1999"));
    EXPECT_EQ(today.MonthEdit->text(), QStringLiteral("3"));
    EXPECT_EQ(today.DateEdit->text(), QStringLiteral("27"));
    EXPECT_EQ(today.DayBox->currentText(), QStringLiteral("(土)"));
    EXPECT_TRUE(editorText(todayMemo()).isEmpty());
    EXPECT_FALSE(todayMemo()->document()->isModified());
    EXPECT_TRUE(today.PanelDiaryTitle->isHidden());
    EXPECT_TRUE(today.WorkMemo->isHidden());
    EXPECT_EQ(form->focusWidget(), todayMemo());

    for (const char* off :
         {"FileAllNew", "FileAllOpen", "FileAllSave", "FileAllSaveAs", "SaveDiaryBtn", "SaveAsBtn",
          "InsertDiaryBtn", "BRTagBtn", "HRBtn", "LinkTagBtn", "IMGBtn", "StyleBtn"})
        EXPECT_FALSE(enabled(off)) << off;
    for (const char* on : {"FileTodayNew", "FileTodaySave", "FileTodaySaveHnf", "FileTodaySaveText",
                           "EditTitle", "EditBR", "EditHR", "EditLink", "EditIMG", "EditDec",
                           "EditDelete", "SetHtml", "SetWork", "HelpVerInfo", "AppliExit"})
        EXPECT_TRUE(enabled(on)) << on;
    EXPECT_TRUE(child<QAction>("FileTodaySaveHnf")->isVisible());

    QPlainTextEdit* all = form->diaryTab()->AllMemo;
    EXPECT_TRUE(all->isReadOnly());
    EXPECT_EQ(editorText(all),
              QStringLiteral("\r\n   *** 日記HTMLファイル編集領域 ***\r\n\r\n"
                             "      日記用ＨＴＭＬファイルを読み込んで下さい。\r\n"
                             "      ない場合は、「新規」ボタンで新規作成して下さい。"));
    EXPECT_EQ(form->diaryTab()->PanelEditFile->text(), QStringLiteral("None."));
}

// No modal window exists before it is first needed; from then on the same window, with the
// values of its controls, comes back at every showing.
TEST_F(MainFormTest, MakesEachModalWindowWhenFirstNeededAndKeepsIt)
{
    showForm();
    EXPECT_TRUE(form->findChildren<QDialog*>().isEmpty());

    QList<QDialog*> shown;
    QList<bool> tickedAtOpen; // the link window's "new window" box, toggled at every showing
    const auto openLink = [&] {
        ModalCloser closer([&](QDialog* dialog) {
            shown.append(dialog);
            auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("WindowCheck"));
            tickedAtOpen.append(box->isChecked());
            box->setChecked(!box->isChecked());
        });
        setEditorText(todayMemo(), QStringLiteral("本文"));
        todayMemo()->selectAll();
        child<QAction>("EditLink")->trigger();
    };
    openLink();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(form->findChildren<QDialog*>(), QList<QDialog*>{shown[0]});
    openLink();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[1], shown[0]);
    EXPECT_NE(tickedAtOpen[1], tickedAtOpen[0]);

    const std::pair<const char*, const char16_t*> expected[] = {
        {"TDiaryTitleForm", u"今日の日記のタイトル"},
        {"TLinkForm", u"リンクの設置"},
        {"TGraphicForm", u"画像指定タグ挿入"},
        {"TNewProcessForm", u"新規作成 - ベースHTML（ひな形）ファイルの読み込み選択"},
        {"THtmlForm", u"日記HTML設定"},
        {"THistoryForm", u"ファイル履歴から開く"},
        {"TExpForm", u"初回説明 - Pelmora"},
        {"TAppSetForm", u"動作設定 - Pelmora"},
        {"THelpVerForm", u"バージョン情報"},
        {"TDecorationForm", u"文字装飾"},
        {"TPleaseForm", u"ユーザ公開日記リンク"},
        {"TWeatherForm", u"天気の色設定"}};
    const QList<QDialog*> made = allWindows(form->windows());
    ASSERT_EQ(made.size(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(made[i]->objectName(), QLatin1String(expected[i].first));
        EXPECT_EQ(made[i]->windowTitle(), QString::fromUtf16(expected[i].second));
        EXPECT_TRUE(made[i]->isModal()) << expected[i].first;
        EXPECT_TRUE(made[i]->isHidden()) << expected[i].first;
        EXPECT_EQ(made[i]->parent(), form.get()) << expected[i].first;
    }
    EXPECT_EQ(allWindows(form->windows()), made);
    EXPECT_EQ(form->findChildren<QDialog*>(Qt::FindDirectChildrenOnly).size(), 12);
}

TEST_F(MainFormTest, ProgramFolderAtTheRootIsASingleSeparator)
{
    fake.system.programPath = QStringLiteral("/pelmora");
    TMainForm atRoot(fake.platform());
    EXPECT_EQ(atRoot.state().ProgramFolder, QStringLiteral("/"));
}

TEST_F(MainFormTest, KeepsItsMinimumSize)
{
    showForm();
    form->resize(300, 200);
    EXPECT_EQ(form->size(), QSize(560, 385));
    form->resize(300, 500);
    EXPECT_EQ(form->size(), QSize(560, 500));
}

TEST_F(MainFormTest, StoredFontGoesOnBothEditorsCutTo31Bytes)
{
    form->state().EditorFontSize = 14;
    // 15 full-width characters (30 bytes) and then a further one that would make 32.
    form->state().EditorFontFace = QStringLiteral("ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰ");
    showForm();
    EXPECT_EQ(todayMemo()->font().pointSize(), 14);
    EXPECT_EQ(todayMemo()->font().family(), QStringLiteral("ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯ"));
    EXPECT_EQ(form->diaryTab()->AllMemo->font(), todayMemo()->font());
}

TEST_F(MainFormTest, EmptyStoredFaceKeepsTheLayoutFace)
{
    form->state().EditorFontFace.clear();
    form->state().EditorFontSize = 0; // cannot be shown: the size stays
    showForm();
    EXPECT_EQ(todayMemo()->font().family(), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(todayMemo()->font().pointSize(), 10);
    EXPECT_EQ(form->diaryTab()->AllMemo->font(), todayMemo()->font());
}

TEST_F(MainFormTest, ExplanationWindowShowsAtTheFirstSwitchOnly)
{
    showForm();
    ModalCloser closer;
    tabs()->setCurrentIndex(1);
    EXPECT_EQ(closer.opened, QStringList{QStringLiteral("TExpForm")});
    EXPECT_EQ(form->state().CurrentPage, Page::Diary);
    EXPECT_EQ(form->state().FirstPageChangeFlag, FirstPageChange::ShownThisRun);
    EXPECT_EQ(form->focusWidget(), form->diaryTab()->AllMemo);

    tabs()->setCurrentIndex(0);
    EXPECT_EQ(form->state().CurrentPage, Page::Today);
    EXPECT_EQ(form->focusWidget(), todayMemo());
    tabs()->setCurrentIndex(1);
    EXPECT_EQ(closer.opened.size(), 1);
}

TEST_F(MainFormTest, ExplanationWindowStaysAwayWhenTurnedOff)
{
    form->state().FirstPageChangeFlag = FirstPageChange::Never;
    showForm();
    ModalCloser closer;
    tabs()->setCurrentIndex(1);
    EXPECT_TRUE(closer.opened.isEmpty());
    EXPECT_EQ(form->state().FirstPageChangeFlag, FirstPageChange::Never);
}

TEST_F(MainFormTest, MenusFollowTheTabWithoutADocument)
{
    form->state().FirstPageChangeFlag = FirstPageChange::Never;
    showForm();
    tabs()->setCurrentIndex(1);
    for (const char* off :
         {"EditTitle", "EditDelete", "FileTodayNew", "FileTodaySave", "FileAllSave",
          "FileAllSaveAs", "EditBR", "EditHR", "EditLink", "EditIMG", "EditDec", "EditFind",
          "EditFindNext", "EditFindPrev", "EditReplace"})
        EXPECT_FALSE(enabled(off)) << off;
    for (const char* on : {"FileAllNew", "FileAllOpen"})
        EXPECT_TRUE(enabled(on)) << on;

    tabs()->setCurrentIndex(0);
    for (const char* on : {"EditTitle", "EditDelete", "FileTodayNew", "FileTodaySave", "EditBR",
                           "EditHR", "EditLink", "EditIMG", "EditDec", "EditFind", "EditFindNext",
                           "EditFindPrev", "EditReplace"})
        EXPECT_TRUE(enabled(on)) << on;
    for (const char* off : {"FileAllNew", "FileAllOpen", "FileAllSave", "FileAllSaveAs"})
        EXPECT_FALSE(enabled(off)) << off;
    // Greyed, the diary file's items say where they work, and stop saying it once they do.
    EXPECT_TRUE(child<QAction>("FileAllOpen")->toolTip().contains(u"日記ファイル全体編集"));
    tabs()->setCurrentIndex(1);
    EXPECT_FALSE(child<QAction>("FileAllOpen")->toolTip().contains(u"日記ファイル全体編集"));
}

// The second tab is not in front at start: its colours, line numbers and find bar wait for it,
// and the colour choice made meanwhile reaches them.
TEST_F(MainFormTest, DiaryEditorPartsAreMadeWhenTheTabIsFirstShown)
{
    form->state().FirstPageChangeFlag = FirstPageChange::Never;
    showForm();
    EXPECT_EQ(form->findChild<LineNumberArea*>(), nullptr);
    EXPECT_EQ(form->findChild<FindBar*>(QStringLiteral("AllFindBar")), nullptr);
    child<QAction>("ViewColoring")->trigger(); // colours off before they exist

    tabs()->setCurrentIndex(1);
    auto* numbers = form->findChild<LineNumberArea*>();
    auto* bar = form->findChild<FindBar*>(QStringLiteral("AllFindBar"));
    ASSERT_NE(numbers, nullptr);
    ASSERT_NE(bar, nullptr);
    QPlainTextEdit* all = form->diaryTab()->AllMemo;
    QCoreApplication::processEvents(); // the tab lays its new parts out
    EXPECT_TRUE(numbers->isVisible());
    EXPECT_LT(numbers->geometry().right(), all->geometry().left());
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(form->diaryTab()->coloring()->isEnabled());
    EXPECT_EQ(form->diaryTab()->lineNumbers(), numbers); // made once
    bar->openFind();
    QCoreApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_GT(bar->geometry().top(), all->geometry().bottom());
}

TEST_F(MainFormTest, ClosesAtOnceWhenNothingIsModified)
{
    showForm();
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(fake.messages.shown.isEmpty());
}

TEST_F(MainFormTest, ClosingOverAChangedBodyAsksFirst)
{
    struct Path {
        const char* how;
        MsgAnswer answer;
        bool closes;
    };
    const Path paths[] = {
        {"AppExitBtn", MsgAnswer::No, false}, {"AppliExit", MsgAnswer::No, false},
        {"close box", MsgAnswer::No, false},  {"AppExitBtn", MsgAnswer::Yes, true},
        {"AppliExit", MsgAnswer::Yes, true},  {"close box", MsgAnswer::Yes, true}};
    for (const Path& path : paths) {
        SetUp();
        showForm();
        typeText(todayMemo(), QStringLiteral("今日の本文"));
        fake.messages.shown.clear();
        fake.messages.answer({path.answer});

        const QString how = QLatin1String(path.how);
        if (how == u"AppExitBtn")
            child<QPushButton>("AppExitBtn")->click();
        else if (how == u"AppliExit")
            child<QAction>("AppliExit")->trigger();
        else
            form->close();

        ASSERT_EQ(fake.messages.shown.size(), 1) << path.how;
        const Message& asked = fake.messages.shown.first();
        EXPECT_EQ(
            asked.text,
            QStringLiteral("「今日の日記」本文が変更されたまま、使用（挿入）されていません。\n"
                           "このまま終了してもよろしいですか？"));
        EXPECT_EQ(asked.caption, QStringLiteral("終了確認"));
        EXPECT_EQ(asked.buttons, MsgButtons::YesNo);
        EXPECT_EQ(asked.icon, MsgIcon::Question);
        EXPECT_EQ(form->isVisible(), !path.closes) << path.how;
        EXPECT_EQ(editorText(todayMemo()), QStringLiteral("今日の本文"));
    }
}

TEST_F(MainFormTest, AFailureInsideTheCloseQuestionKeepsTheWindowOpen)
{
    showForm();
    typeText(todayMemo(), QStringLiteral("本文"));
    fake.messages.onShow = [](const Message& m) {
        if (m.caption == u"終了確認")
            throw AppError(QStringLiteral("問い合わせに失敗しました"));
    };
    fake.messages.answer({MsgAnswer::Ok}); // the error box
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(fake.messages.shown.size(), 2);
    const Message& error = fake.messages.shown.last();
    EXPECT_EQ(error.text, QStringLiteral("問い合わせに失敗しました."));
    EXPECT_EQ(error.caption, QStringLiteral("Pelmora 2"));
    EXPECT_EQ(error.icon, MsgIcon::Stop);
    EXPECT_EQ(error.buttons, MsgButtons::Ok);
}

TEST_F(MainFormTest, StoredSettingsArriveAtStartAndLeaveAtClose)
{
    auto text = [](const char16_t* value) {
        return KeyStore::Value{KeyStore::Status::Text, QString::fromUtf16(value)};
    };
    fake.keyStore.present = true;
    fake.keyStore.values.insert(QStringLiteral("EditFontSize"), text(u"14"));
    fake.keyStore.values.insert(QStringLiteral("HtmlMain1"), text(u"<p>"));
    fake.keyStore.values.insert(QStringLiteral("FirstPageChangeFlag"), text(u"F"));
    SetUp();
    EXPECT_EQ(form->state().Html.HtmlMain1, QStringLiteral("<p>"));
    showForm();
    EXPECT_EQ(todayMemo()->font().pointSize(), 14);

    ModalCloser closer;
    tabs()->setCurrentIndex(1); // the explanation window: the flag becomes "2" for this run
    QFont font = todayMemo()->font();
    font.setPointSize(12);
    todayMemo()->setFont(font);
    ASSERT_TRUE(form->close());
    const auto stored = [&](const char* name) {
        return fake.keyStore.values.value(QLatin1String(name)).text;
    };
    EXPECT_EQ(fake.keyStore.commits, 1);
    EXPECT_EQ(stored("EditFontSize"), QStringLiteral("12")); // taken from the editor at close
    EXPECT_EQ(stored("EditFontFace"), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(stored("FirstPageChangeFlag"), QStringLiteral("F"));
    EXPECT_EQ(stored("HtmlMain1"), QStringLiteral("<p>"));
    EXPECT_EQ(stored("HtmlSetFlags"), QString()); // missing from a store that exists: all empty
}

TEST_F(MainFormTest, AValueOfTheWrongKindIsReportedAndTheStartGoesOn)
{
    fake.keyStore.present = true;
    fake.keyStore.values.insert(QStringLiteral("HtmlSky2"), {KeyStore::Status::WrongKind, {}});
    fake.messages.answer({MsgAnswer::Ok});
    SetUp();
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(QStringLiteral("HtmlSky2")));
    EXPECT_TRUE(fake.messages.shown[0].text.endsWith(u'.'));
    EXPECT_EQ(fake.messages.shown[0].icon, MsgIcon::Stop);
    showForm();
    EXPECT_TRUE(form->isVisible());
}

// Opens a diary through the File menu on the second tab and types into it.
class MainFormWithDiaryTest : public MainFormTest {
protected:
    void openAndChangeDiary()
    {
        form->state().FirstPageChangeFlag = FirstPageChange::Never;
        showForm();
        tabs()->setCurrentIndex(1);
        fake.files.files.insert(path, QByteArray("<html>\r\n"));
        fake.fileDialogs.answers.push_back(path);
        child<QAction>("FileAllOpen")->trigger();
        typeText(form->diaryTab()->AllMemo, QStringLiteral("x"));
    }
    const QString path = QStringLiteral("/home/writer/diary.htm");
};

TEST_F(MainFormWithDiaryTest, ClosingAsksToSaveTheDiaryFirst)
{
    openAndChangeDiary();
    typeText(todayMemo(), QStringLiteral("本文")); // a changed body is asked about only later
    fake.messages.answer({MsgAnswer::Cancel});
    EXPECT_FALSE(form->close());
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("編集内容は保存されていません。\n保存しますか？"));
    EXPECT_EQ(fake.messages.shown[0].buttons, MsgButtons::YesNoCancel);

    fake.messages.answer({MsgAnswer::Yes, MsgAnswer::Yes});
    EXPECT_TRUE(form->close());
    EXPECT_EQ(fake.files.files.value(path), QByteArray("x<html>\r\n"));
    EXPECT_EQ(fake.messages.shown.last().caption, QStringLiteral("終了確認"));
    EXPECT_EQ(fake.keyStore.values.value(QStringLiteral("LoadLog")).text, path);
}

// The diary tab's two encoding buttons open the File menu's submenus and follow their states;
// an item read from the button's menu reopens the file in its encoding.
TEST_F(MainFormWithDiaryTest, TheEncodingButtonsGiveTheFileMenusEncodings)
{
    auto* reopen = child<QPushButton>("ReopenAsBtn");
    auto* copy = child<QPushButton>("SaveAsEncodingBtn");
    EXPECT_FALSE(reopen->isEnabled() || copy->isEnabled());
    openAndChangeDiary();
    EXPECT_TRUE(reopen->isEnabled() && copy->isEnabled());
    ASSERT_NE(reopen->menu(), nullptr);
    EXPECT_EQ(reopen->menu()->actions().size(), 3);
    EXPECT_EQ(copy->menu()->actions().size(), 4);
    EXPECT_EQ(form->diaryTab()->PanelEncoding->text(), QStringLiteral("Shift-JIS・CR LF"));

    fake.messages.answer({MsgAnswer::No});
    reopen->menu()->actions()[1]->trigger(); // EUC-JP
    EXPECT_EQ(form->diaryTab()->PanelEncoding->text(), QStringLiteral("EUC-JP・CR LF"));
    EXPECT_EQ(form->diaryTab()->AllMemo->toPlainText(), QStringLiteral("<html>\n"));
    tabs()->setCurrentIndex(0);
    EXPECT_FALSE(reopen->isEnabled() || enabled("FileSaveAsEncoding"));
}

TEST_F(MainFormWithDiaryTest, AFailedSaveInTheCloseQuestionKeepsTheWindowOpen)
{
    openAndChangeDiary();
    fake.files.readOnly.insert(path);
    fake.messages.answer({MsgAnswer::Yes, MsgAnswer::Ok});
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(fake.messages.shown.size(), 2);
    EXPECT_EQ(fake.messages.shown[1].text,
              QStringLiteral("ﾌｧｲﾙ ") + path + QStringLiteral(" を作成できません."));
    EXPECT_EQ(fake.messages.shown[1].icon, MsgIcon::Stop);
    EXPECT_EQ(fake.files.files.value(path), QByteArray("<html>\r\n"));
    EXPECT_TRUE(form->document()->isModified());
    EXPECT_TRUE(enabled("SaveDiaryBtn"));
}

TEST_F(MainFormWithDiaryTest, SaveItemsFollowTheDocumentAndTheTab)
{
    openAndChangeDiary();
    for (const char* on : {"FileAllSave", "FileAllSaveAs", "SaveDiaryBtn", "SaveAsBtn", "EditBR",
                           "EditHR", "EditLink", "EditIMG", "EditDec", "InsertDiaryBtn"})
        EXPECT_TRUE(enabled(on)) << on;
    child<QPushButton>("SaveDiaryBtn")->click();
    for (const char* off : {"FileAllSave", "FileAllSaveAs", "SaveDiaryBtn", "SaveAsBtn"})
        EXPECT_FALSE(enabled(off)) << off;
    // Back and forth: the menu's save items come back with the second tab, the buttons do not.
    tabs()->setCurrentIndex(0);
    tabs()->setCurrentIndex(1);
    EXPECT_TRUE(enabled("FileAllSave"));
    EXPECT_TRUE(enabled("FileAllSaveAs"));
    EXPECT_FALSE(enabled("SaveDiaryBtn"));
    for (const char* on : {"EditBR", "EditHR", "EditLink", "EditIMG", "EditDec", "EditFind",
                           "EditFindNext", "EditFindPrev", "EditReplace"})
        EXPECT_TRUE(enabled(on)) << on;
}

TEST_F(MainFormTest, ShortcutsWorkFromAnyControlWhileTheirItemIsEnabled)
{
    form->state().FirstPageChangeFlag = FirstPageChange::Never;
    showForm();
    struct Press {
        const char* item;
        QKeySequence keys;
    };
    const Press presses[] = {{"EditBR", QKeySequence(Qt::CTRL | Qt::Key_B)},
                             {"EditHR", QKeySequence(Qt::CTRL | Qt::Key_H)},
                             {"HelpVerInfo", QKeySequence(Qt::Key_F1)}};
    for (const Press& press : presses) {
        for (const int tab : {0, 1}) {
            tabs()->setCurrentIndex(tab);
            QWidget* field = tab == 0 ? static_cast<QWidget*>(controls(form->todayTab()).YearEdit)
                                      : form->diaryTab()->AllMemo;
            QApplication::setActiveWindow(form.get()); // a closed modal window took it away
            field->setFocus();
            QSignalSpy triggered(child<QAction>(press.item), &QAction::triggered);
            ModalCloser closer;
            QTest::keySequence(field, press.keys);
            // Without a document the tag items are off on the second tab; F1 works everywhere.
            const bool expected = tab == 0 || QLatin1String(press.item) == u"HelpVerInfo";
            EXPECT_EQ(triggered.size(), expected ? 1 : 0) << press.item << " on tab " << tab;
        }
    }
}

TEST_F(MainFormTest, ClearCommandAsksAndClearsOnlyOnYes)
{
    showForm();
    const TodayControls today(form->todayTab());
    for (const char* command : {"DeleteBtn", "FileTodayNew", "EditDelete"}) {
        setEditorText(todayMemo(), QString());
        typeText(todayMemo(), QStringLiteral("本文"));
        today.WeatherBox->selectItem(1);
        today.YearEdit->setText(QStringLiteral("2001"));
        fake.messages.shown.clear();

        auto run = [&] {
            if (auto* action = form->findChild<QAction*>(QLatin1String(command)))
                action->trigger();
            else
                child<QPushButton>(command)->click();
        };
        fake.messages.answer({MsgAnswer::No});
        run();
        ASSERT_EQ(fake.messages.shown.size(), 1) << command;
        EXPECT_EQ(fake.messages.shown[0].text,
                  QStringLiteral("入力内容をクリアしてよろしいですか？"));
        EXPECT_EQ(fake.messages.shown[0].caption, QStringLiteral("クリア確認"));
        EXPECT_EQ(fake.messages.shown[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(fake.messages.shown[0].icon, MsgIcon::Question);
        EXPECT_EQ(editorText(todayMemo()), QStringLiteral("本文")) << command;
        EXPECT_TRUE(todayMemo()->document()->isModified());
        EXPECT_EQ(today.WeatherBox->currentIndex(), 1);
        EXPECT_EQ(today.YearEdit->text(), QStringLiteral("2001"));

        fake.messages.answer({MsgAnswer::Yes});
        run();
        EXPECT_TRUE(editorText(todayMemo()).isEmpty()) << command;
        EXPECT_FALSE(todayMemo()->document()->isModified());
        EXPECT_EQ(today.WeatherBox->currentText(), QString());
        EXPECT_EQ(today.YearEdit->text(), QStringLiteral("1999"));
    }
}

TEST_F(MainFormTest, ErrorsOfACommandAreShownAndTheProgramGoesOn)
{
    showForm();
    fake.messages.onShow = [](const Message& m) {
        if (m.caption == u"クリア確認")
            throw AppError(QStringLiteral("ﾌｧｲﾙ x は開けません"));
    };
    fake.messages.answer({MsgAnswer::Ok});
    child<QPushButton>("DeleteBtn")->click();
    ASSERT_EQ(fake.messages.shown.size(), 2);
    EXPECT_EQ(fake.messages.shown[1].text, QStringLiteral("ﾌｧｲﾙ x は開けません."));
    EXPECT_TRUE(form->isVisible());
}

struct ControlText {
    const char* name;
    const char16_t* caption;
    const char16_t* hint; // buttons only
    const char* shortcut; // menu items only
};

// Within a menu every access key leads to one item: a key shared by two only moves between them.
// The file menu's own captions share N and S for the diary and today's entry, and keep them.
TEST_F(MainFormTest, EachMenuGivesEveryAccessKeyOnce)
{
    const QSet<QString> sharingOwnKeys{QStringLiteral("FileAllNew"), QStringLiteral("FileTodayNew"),
                                       QStringLiteral("FileAllSave"),
                                       QStringLiteral("FileTodaySave")};
    for (QMenu* menu : form->findChildren<QMenu*>()) {
        QMap<QString, QStringList> itemsByKey;
        for (QAction* item : menu->actions()) {
            const QString key = QKeySequence::mnemonic(item->text()).toString();
            if (!item->isSeparator() && !key.isEmpty())
                itemsByKey[key] << item->objectName();
        }
        for (auto [key, items] : itemsByKey.asKeyValueRange()) {
            const bool ownPair = items.size() == 2 && sharingOwnKeys.contains(items[0])
                                 && sharingOwnKeys.contains(items[1]);
            EXPECT_TRUE(items.size() == 1 || ownPair)
                << menu->title().toStdString() << " " << key.toStdString() << ": "
                << items.join(u' ').toStdString();
        }
    }
}

TEST_F(MainFormTest, EveryButtonAndMenuItemHasItsCaptionHintAndShortcut)
{
    const ControlText controls[] = {
        {"HelpBtn", u"ヘルプ(F1)", u"バージョン情報を表示します。", ""},
        {"HtmlSetBtn", u"HTML設定(&M)", u"HTML化するための設定を行います。", ""},
        {"AppSetBtn", u"動作設定(&V)", u"表示制限などの設定を行います。", ""},
        {"AppExitBtn", u"閉じる(&X)", u"Pelmora を終了します。", ""},
        {"DeleteBtn", u"削除(&D)", u"入力した日付や日記本文を削除します。", ""},
        {"AddTitleBtn", u"今日の日記にタイトルを付ける(&T)",
         u"タイトルを付けたい場合にクリックして下さい。", ""},
        {"BRBtn", u"改行挿入(&B)",
         u"ブラウザ上で改行させたい場所にカーソルを移動して、このボタンをクリックして下さい。", ""},
        {"UseHintBtn", u"操作アドバイス表示(&H)", u"操作ガイドです。１度は読んで下さい。", ""},
        {"NewDiaryBtn", u"新規(&N)", u"新しく日記HTMLファイルを作成します。", ""},
        {"OpenDiaryBtn", u"開く(&O)", u"既存の日記HTMLファイルを開きます。", ""},
        {"ReOpenBtn", u"▼履歴(&R)", u"過去に保存したことのあるファイルを再度開きます。", ""},
        {"InsertDiaryBtn", u"カーソル位置に今日の日記を挿入(&P)",
         u"カーソルのある位置に、「今日の日記編集」内容を挿入します。", ""},
        {"SaveDiaryBtn", u"上書き保存(&S)", u"編集内容を保存します。", ""},
        {"SaveAsBtn", u"別名で保存(&A)", u"編集内容を、別のファイル名で保存します。", ""},
        {"BRTagBtn", u"改行(&B)", u"改行タグを挿入します。", ""},
        {"HRBtn", u"水平線(&H)",
         u"水平線を表示させるタグを挿入します。日記の区切りなどに利用して下さい。", ""},
        {"LinkTagBtn", u"リンク(&L)", u"リンクタグを挿入します。", ""},
        {"IMGBtn", u"画像(&G)", u"画像タグを挿入します。", ""},
        {"StyleBtn", u"文字装飾(&D)",
         u"太字・斜体・サイズ変更・色の指定などを行いたいときにクリックして下さい。", ""},
        {"MenuAppli", u"ファイル(&F)", nullptr, ""},
        {"FileAllNew", u"HTMLファイルを新規作成(&N)", nullptr, ""},
        {"FileAllOpen", u"HTMLファイルを開く(&O)...", nullptr, "Ctrl+O"},
        {"FileAllSave", u"HTMLファイルを上書き保存(&S)", nullptr, "Ctrl+S"},
        {"FileAllSaveAs", u"HTMLファイルを別名で保存(&A)...", nullptr, ""},
        {"FileTodayNew", u"新しく今日の日記を書く(&N)", nullptr, ""},
        {"FileTodaySave", u"今日の日記だけを保存(&S)", nullptr, ""},
        {"FileTodaySaveHnf", u"ハイパー日記システム形式β(&H)", nullptr, ""},
        {"FileTodaySaveText", u"テキスト形式(&T)", nullptr, ""},
        {"AppliExit", u"Pelmora の終了(&X)", nullptr, ""},
        {"MenuEdit", u"編集(&E)", nullptr, ""},
        {"EditTitle", u"タイトルを付ける(&T)...", nullptr, ""},
        {"EditBR", u"改行タグ挿入(&B)", nullptr, "Ctrl+B"},
        {"EditHR", u"水平線タグ挿入(&H)", nullptr, "Ctrl+H"},
        {"EditLink", u"リンクタグの挿入(&L)...", nullptr, ""},
        {"EditIMG", u"画像指定タグ挿入(&G)...", nullptr, ""},
        {"EditDec", u"文字装飾タグ挿入(&D)...", nullptr, ""},
        {"EditDelete", u"全て削除(&C)", nullptr, ""},
        {"EditFind", u"検索(&F)...", nullptr, "Ctrl+F"},
        {"EditFindNext", u"次を検索(&N)", nullptr, "F3"},
        {"EditFindPrev", u"前を検索(&P)", nullptr, "Shift+F3"},
        {"EditReplace", u"置換(&R)...", nullptr, "Ctrl+R"},
        {"EditUndo", u"元に戻す(&U)", nullptr, "Ctrl+Z"},
        {"EditRedo", u"やり直し(&Y)", nullptr, "Ctrl+Y"},
        {"MenuSet", u"設定(&C)", nullptr, ""},
        {"SetHtml", u"HTML設定(&H)", nullptr, ""},
        {"SetWork", u"動作設定(&W)", nullptr, ""},
        {"MenuView", u"表示(&W)", nullptr, ""},
        {"ViewPreview", u"プレビュー(&P)", nullptr, "F5"},
        {"ViewBrowser", u"ブラウザで開く(&B)", nullptr, "Shift+F5"},
        {"ViewGoToLine", u"指定行へ移動(&G)...", nullptr, "Ctrl+G"},
        {"ViewColoring", u"HTMLの色分け(&K)", nullptr, ""},
        {"MenuHelp", u"ヘルプ・情報(&I)", nullptr, ""},
        {"HelpVerInfo", u"バージョン情報(&V)...", nullptr, "F1"},
        {"HelpAdvice", u"操作ガイド(&G)...", nullptr, ""},
        {"HelpDonotmind", u"ユーザの方々の日記へのリンク(&U)", nullptr, ""},
    };
    for (const ControlText& c : controls) {
        const QString name = QLatin1String(c.name);
        const QString caption = QString::fromUtf16(c.caption);
        if (auto* button = form->findChild<QPushButton*>(name)) {
            EXPECT_EQ(button->text(), caption) << c.name;
            EXPECT_EQ(button->toolTip(), QString::fromUtf16(c.hint)) << c.name;
        } else if (auto* menu = form->findChild<QMenu*>(name)) {
            EXPECT_EQ(menu->title(), caption) << c.name;
        } else if (auto* action = form->findChild<QAction*>(name)) {
            EXPECT_EQ(action->text(), caption) << c.name;
            EXPECT_EQ(action->shortcut(), QKeySequence(QLatin1String(c.shortcut))) << c.name;
        } else {
            ADD_FAILURE() << "no control named " << c.name;
        }
    }
}

TEST_F(MainFormTest, DiaryTabShowsTheFileNameStripWithItsHint)
{
    auto* strip = child<QLabel>("PanelEditFile");
    EXPECT_EQ(strip->toolTip(), QStringLiteral("編集中のファイル名です。"));
    EXPECT_EQ(child<QLabel>("Panel1")->text(), QStringLiteral("編集中ファイル名："));
}

TEST_F(MainFormTest, FileDialogsAreSetUpForTheirUses)
{
    const QString html =
        QStringLiteral("HTMLファイル(*.html,*.htm)|*.html;*.htm|テキストファイル(*.txt)|"
                       "*.txt|すべてのファイル(*.*)|*.*");
    EXPECT_EQ(form->OpenDialog.title, QStringLiteral("日記HTMLを開く"));
    EXPECT_EQ(form->OpenDialog.filter, html);
    EXPECT_EQ(form->OpenDialog.defaultExt, QStringLiteral("htm"));
    EXPECT_EQ(form->SaveDialog.title, QStringLiteral("日記HTMLを保存"));
    EXPECT_EQ(form->SaveDialog.filter, html);
    EXPECT_TRUE(form->SaveDialog.overwritePrompt);
    EXPECT_EQ(
        form->SaveDialogToday.filter,
        QStringLiteral("全てのテキストファイル|*.txt;*.log;*.doc;|テキストファイル(*.txt)|*.txt|"
                       "全てのファイル(*.*)|*.*"));
    EXPECT_TRUE(form->SaveDialogToday.overwritePrompt);
}

} // namespace

// The help menu's guide shows the checkout's guide with its pictures; without one it says so.
TEST_F(MainFormTest, HelpGuideShowsTheGuideWithItsPictures)
{
    showForm();
    fake.messages.answer({MsgAnswer::Ok});
    child<QAction>("HelpGuide")->trigger();
    ASSERT_EQ(form->findChild<GuideWindow*>(), nullptr);
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(u"guide.md"))
        << fake.messages.shown[0].text.toStdString();

    fake.files.files.insert(sourceGuideFolder() + QStringLiteral("guide.md"), {});
    child<QAction>("HelpGuide")->trigger();
    auto* guide = form->findChild<GuideWindow*>();
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    QTextDocument* text = guide->GuideText->document();
    const QString shown = text->toPlainText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Pelmora 使い方ガイド")));
    // Every heading and the guide's last line are shown: a stray tag in the prose once hid
    // everything after it but the code spans.
    QFile source(sourceGuideFolder() + QStringLiteral("guide.md"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(source.readAll()).trimmed().split(u'\n');
    QStringList expected{lines.last().section(u'|', 1, 1).trimmed()};
    for (const QString& line : lines) {
        if (line.startsWith(u'#'))
            expected << line.section(u' ', 1);
    }
    for (const QString& part : expected)
        EXPECT_TRUE(shown.contains(part)) << part.toStdString();
    const QVariant picture = text->resource(QTextDocument::ImageResource,
                                            QUrl(QStringLiteral("images/main-window.png")));
    EXPECT_FALSE(picture.value<QByteArray>().isEmpty() && picture.value<QImage>().isNull());
}
