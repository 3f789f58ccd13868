#include "app/TExpForm.h"
#include "app/TMainForm.h"
#include "document/DiaryFileTab.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "settings/QtKeyStore.h"
#include "settings/TAppSetForm.h"
#include "support/FakePlatform.h"
#include "support/ModalCloser.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// How the writer leaves the explanation window.
enum class Leave { OkTicked, OkUnticked, CloseBoxTicked };

// The main window on a real settings file, so that a "restart" is a second main window
// reading what the first one wrote at its close.
class GuidanceTest : public testing::Test {
protected:
    void SetUp() override { start(); }

    void start()
    {
        form.reset();
        store = std::make_unique<QtKeyStore>(dir.filePath(storeFolder + u"/Quillode.conf"_s));
        Platform p = fake.platform();
        platform = std::make_unique<Platform>(
            Platform{p.messages, p.fileDialogs, p.clipboard, p.clock, p.system, p.files, *store});
        form = std::make_unique<TMainForm>(*platform);
        form->show();
    }

    void restart()
    {
        ASSERT_TRUE(form->close());
        start();
    }

    TExpForm* expForm() { return form->findChild<TExpForm*>(u"TExpForm"_s); }
    QAction* action(const char* name) { return form->findChild<QAction*>(QLatin1String(name)); }
    QTabWidget* tabs() { return form->findChild<QTabWidget*>(u"PageControl1"_s); }

    // Runs the command and answers every explanation window it opens; returns how many opened.
    int run(const std::function<void()>& command, Leave leave = Leave::OkUnticked)
    {
        ModalCloser closer([leave](QDialog* dialog) {
            auto* exp = qobject_cast<TExpForm*>(dialog);
            if (!exp)
                return;
            exp->CheckBox->setChecked(leave != Leave::OkUnticked);
            if (leave == Leave::CloseBoxTicked)
                exp->close();
            else
                QTest::mouseClick(exp->Button1, Qt::LeftButton);
        });
        command();
        return int(closer.opened.count(u"TExpForm"_s));
    }

    void switchTo(int tab) { tabs()->setCurrentIndex(tab); }

    QTemporaryDir dir;
    // QSettings keeps what it read of a file for the rest of the process: a fresh start of the
    // same story goes to a file of its own.
    QString storeFolder = u"oribeko"_s;
    FakePlatform fake;
    std::unique_ptr<QtKeyStore> store;
    std::unique_ptr<Platform> platform;
    std::unique_ptr<TMainForm> form;
};

TEST_F(GuidanceTest, TheFirstSwitchShowsTheExplanationOnceARunAndTheChoiceOutlivesTheRun)
{
    const struct {
        const char* name;
        Leave leave;
        FirstPageChange flag; // after the first switch
        int nextRunShows;     // explanation windows at the next run's first switch
    } cases[] = {
        {"ok with the box ticked", Leave::OkTicked, FirstPageChange::Never, 0},
        {"ok with the box clear", Leave::OkUnticked, FirstPageChange::ShownThisRun, 1},
        {"close box with the box ticked", Leave::CloseBoxTicked, FirstPageChange::ShownThisRun, 1},
    };
    for (const auto& c : cases) {
        storeFolder = QString::fromLatin1(c.name).replace(u' ', u'_');
        start();
        fake.system.sounds.clear();
        EXPECT_EQ(run([this] { switchTo(1); }, c.leave), 1) << c.name;
        EXPECT_EQ(fake.system.sounds, QList<SystemSound>{SystemSound::Information}) << c.name;
        EXPECT_EQ(form->state().FirstPageChangeFlag, c.flag) << c.name;
        EXPECT_EQ(run([this] {
                      switchTo(0);
                      switchTo(1);
                  }),
                  0)
            << c.name; // not twice in a run

        restart();
        EXPECT_EQ(run([this] { switchTo(1); }), c.nextRunShows) << c.name;
    }
}

TEST_F(GuidanceTest, OperationGuideFollowsTheTab)
{
    // First tab: the operation advice, and the caret back in TodayMemo where it was.
    QPlainTextEdit* today = form->todayTab()->bodyEditor();
    setEditorText(today, u"一行目\r\n二行目"_s);
    QTextCursor cursor = today->textCursor();
    cursor.setPosition(2);
    today->setTextCursor(cursor);
    form->findChild<QPushButton*>(u"HelpBtn"_s)->setFocus();
    fake.messages.answer({MsgAnswer::Ok, MsgAnswer::Ok});
    for (auto trigger :
         {std::function<void()>([this] { action("HelpAdvice")->trigger(); }),
          std::function<void()>([this] { form->todayTab()->hintButton()->click(); })}) {
        EXPECT_EQ(run(trigger), 0);
        const Message& advice = fake.messages.shown.constLast();
        EXPECT_EQ(advice.caption, u"操作アドバイス"_s);
        EXPECT_EQ(advice.icon, MsgIcon::Information);
        EXPECT_EQ(advice.buttons, MsgButtons::Ok);
        EXPECT_TRUE(
            advice.text.startsWith(u"このウインドウ（「今日の日記編集」ウインドウ）では、"_s));
        EXPECT_TRUE(advice.text.endsWith(
            u"\n\n日記が記述できたら、「日記ファイル全体編集」タブをクリックして下さい。"_s));
        EXPECT_EQ(form->focusWidget(), today);
        EXPECT_EQ(today->textCursor().position(), 2);
    }
    EXPECT_EQ(fake.messages.shown.size(), 2);

    // Second tab: the explanation window even when it was turned off, and OK with the box
    // ticked there turns off the automatic showing too.
    EXPECT_EQ(run([this] { switchTo(1); }, Leave::OkUnticked), 1);
    for (FirstPageChange flag : {FirstPageChange::Never, FirstPageChange::ShownThisRun}) {
        form->state().FirstPageChangeFlag = flag;
        EXPECT_EQ(run([this] { action("HelpAdvice")->trigger(); }, Leave::CloseBoxTicked), 1);
        EXPECT_EQ(form->state().FirstPageChangeFlag, flag);
    }
    EXPECT_EQ(run([this] { action("HelpAdvice")->trigger(); }, Leave::OkTicked), 1);
    EXPECT_EQ(form->state().FirstPageChangeFlag, FirstPageChange::Never);
    EXPECT_EQ(fake.messages.shown.size(), 2); // no advice on the second tab
}

// The settings window turns the explanation back on, and its font reaches the store at close.
TEST_F(GuidanceTest, SettingsWindowTurnsTheExplanationBackOnAndItsFontIsKept)
{
    form->state().FirstPageChangeFlag = FirstPageChange::Never;
    {
        ModalCloser closer([](QDialog* dialog) {
            auto* settings = qobject_cast<TAppSetForm*>(dialog);
            if (!settings)
                return;
            settings->SizeEdit->setText(u"14"_s);
            settings->ProRadio->setChecked(true);
            settings->CheckBox2->setChecked(true);
            QTest::mouseClick(settings->BitBtn1, Qt::LeftButton);
        });
        action("SetWork")->trigger();
        EXPECT_EQ(closer.opened, QStringList{u"TAppSetForm"_s});
        EXPECT_EQ(form->state().FirstPageChangeFlag, FirstPageChange::ShowAtSwitch);
        EXPECT_EQ(form->diaryTab()->AllMemo->font().pointSize(), 14);
    }

    restart();
    EXPECT_EQ(form->todayTab()->bodyEditor()->font().family(), u"ＭＳ Ｐゴシック"_s);
    EXPECT_EQ(form->todayTab()->bodyEditor()->font().pointSize(), 14);
    EXPECT_EQ(form->diaryTab()->AllMemo->font().pointSize(), 14);
    EXPECT_EQ(run([this] { switchTo(1); }), 1);
}

// A stored size that no editor can show stays stored until the writer sets a font.
TEST_F(GuidanceTest, UnshowableStoredFontSizeOutlivesTheRun)
{
    const struct {
        const char* stored;
        const char* typed; // in the settings window, then OK; nullptr: the window stays shut
        const char* saved;
    } cases[] = {{"0", nullptr, "0"}, {"-3", nullptr, "-3"}, {"0", "14", "14"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + " " + (c.typed ? c.typed : "-"));
        storeFolder = u"size%1%2"_s.arg(c.stored, c.typed ? c.typed : "");
        QDir().mkpath(dir.filePath(storeFolder));
        QFile file(dir.filePath(storeFolder + u"/Quillode.conf"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[General]\nEditFontSize=") + c.stored + "\n");
        file.close();
        start();
        EXPECT_GE(form->todayTab()->bodyEditor()->font().pointSize(), 1);
        if (c.typed) {
            ModalCloser closer([&c](QDialog* dialog) {
                if (auto* settings = qobject_cast<TAppSetForm*>(dialog)) {
                    settings->SizeEdit->setText(QString::fromLatin1(c.typed));
                    QTest::mouseClick(settings->BitBtn1, Qt::LeftButton);
                }
            });
            action("SetWork")->trigger();
        }
        ASSERT_TRUE(form->close());
        QtKeyStore saved(file.fileName());
        ASSERT_TRUE(saved.open());
        EXPECT_EQ(saved.read(u"EditFontSize"_s).text, QString::fromLatin1(c.saved));
    }
}

} // namespace
