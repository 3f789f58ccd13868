#include "core/AppError.h"
#include "document/DocumentFixture.h"
#include "support/ModalCloser.h"
#include "support/Typing.h"

#include <QCheckBox>
#include <QLabel>
#include <QTest>

namespace {

using NewDiaryTest = DocumentFixture;
using TNewProcessFormTest = DocumentFixture;
using RecentFilesTest = DocumentFixture;
using THistoryFormTest = DocumentFixture;

const QString basePath = QStringLiteral("/opt/pelmora/basehtml.txt");

// The flag and the template decide whether the window shows and what the new document holds.
TEST_F(NewDiaryTest, TemplateFlagAndWindowChoice)
{
    struct Case {
        const char* name;
        bool flag;
        bool haveTemplate;
        const char* press; // button of the window, when it shows
        bool windowShows;
        QString result;
    };
    const QString loaded = QStringLiteral("<html>\r\n<body>\r\n");
    const Case cases[] = {
        {"T, template, load", true, true, "OkButton", true, loaded},
        {"T, template, do not load", true, true, "NoButton", true, QString()},
        {"T, template, window closed", true, true, nullptr, true, QString()},
        {"F, template", false, true, nullptr, false, loaded},
        {"T, no template", true, false, nullptr, false, QString()},
        {"F, no template", false, false, nullptr, false, QString()},
    };
    for (const Case& c : cases) {
        fake.files.files.clear();
        if (c.haveTemplate)
            putFile(basePath, "<html>\n<body>\r");
        state.NewProcessFlag = c.flag;
        fake.system.sounds.clear();
        QString preview;
        ModalCloser closer([&](QDialog* dialog) {
            preview = editorText(newForm->SampleMemo);
            if (c.press)
                QTest::mouseClick(dialog->findChild<QPushButton*>(QLatin1String(c.press)),
                                  Qt::LeftButton);
        });
        doc->NewDiary();
        EXPECT_EQ(closer.opened.size(), c.windowShows ? 1 : 0) << c.name;
        if (c.windowShows) {
            EXPECT_EQ(preview, loaded) << c.name;
            EXPECT_EQ(fake.system.sounds, QList<SystemSound>{SystemSound::Question}) << c.name;
        }
        EXPECT_EQ(text(), c.result) << c.name;
        EXPECT_EQ(tab->PanelEditFile->text(), QStringLiteral("New File.")) << c.name;
        EXPECT_TRUE(state.CurrentFileName.isEmpty()) << c.name;
        EXPECT_EQ(controls(), (Controls{false, false, true, false})) << c.name;
        EXPECT_EQ(state.NewProcessFlag, c.flag) << c.name; // the box was never ticked
    }
    EXPECT_TRUE(fake.messages.shown.isEmpty());
}

TEST_F(NewDiaryTest, TemplateIsReadAfreshAndTypingMakesItSavable)
{
    state.NewProcessFlag = false;
    putFile(basePath, "one");
    doc->NewDiary();
    EXPECT_EQ(text(), QStringLiteral("one"));
    putFile(basePath, "two");
    doc->NewDiary();
    EXPECT_EQ(text(), QStringLiteral("two"));
    typeText(tab->AllMemo, QStringLiteral("!"));
    EXPECT_EQ(controls(), (Controls{true, true, true, false}));
    fake.fileDialogs.answers.push_back(QStringLiteral("/home/w/n.htm"));
    EXPECT_TRUE(doc->SaveDiary()); // no name yet: asks for one
    EXPECT_EQ(file(QStringLiteral("/home/w/n.htm")), QByteArray("!two"));

    // A new diary takes the encoding and the line ends of the template it starts from.
    putFile(basePath, "<meta charset=\"euc-jp\">\n\xC6\xFC\n");
    doc->NewDiary();
    EXPECT_EQ(text(), QStringLiteral("<meta charset=\"euc-jp\">\r\n日\r\n"));
    EXPECT_EQ(tab->PanelEncoding->text(), QStringLiteral("EUC-JP・LF"));
    fake.fileDialogs.answers.push_back(QStringLiteral("/home/w/e.htm"));
    typeText(tab->AllMemo, QStringLiteral("記"));
    EXPECT_TRUE(doc->SaveDiary());
    EXPECT_EQ(file(QStringLiteral("/home/w/e.htm")),
              QByteArray("\xB5\xAD<meta charset=\"euc-jp\">\n\xC6\xFC\n"));
}

// Unnamed, editable and empty, and the reset after loading has not run.
TEST_F(NewDiaryTest, UnreadableTemplateStopsAfterEmptyingTheDocument)
{
    state.NewProcessFlag = false;
    putFile(QStringLiteral("/home/w/a.htm"), "a");
    openThroughDialog(QStringLiteral("/home/w/a.htm"));
    putFile(basePath, "x");
    fake.files.unreadable.insert(basePath);
    try {
        doc->NewDiary();
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("ﾌｧｲﾙ /opt/pelmora/basehtml.txt は開けません"));
    }
    EXPECT_EQ(text(), QString());
    EXPECT_EQ(tab->PanelEditFile->text(), QStringLiteral("New File."));
    EXPECT_FALSE(doc->isModified()); // an empty text is nothing to save
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(TNewProcessFormTest, CheckBoxSetsTheFlagWhicheverWayTheWindowCloses)
{
    putFile(basePath, "base");
    struct Case {
        const char* name;
        bool ticked;
        std::function<void(QDialog*)> close;
        bool flagAfter;
    };
    auto click = [](const char* name) {
        return [name](QDialog* d) {
            QTest::mouseClick(d->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
        };
    };
    const Case cases[] = {
        {"ticked, load", true, click("OkButton"), false},
        {"ticked, do not load", true, click("NoButton"), false},
        {"ticked, Esc", true, [](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }, false},
        {"ticked, close box", true, [](QDialog* d) { d->close(); }, false},
        {"unticked, load", false, click("OkButton"), true},
        {"unticked, close box", false, [](QDialog* d) { d->close(); }, true},
    };
    for (const Case& c : cases) {
        state.NewProcessFlag = true;
        newForm->CheckBox->setChecked(c.ticked);
        bool stillOpen = true;
        ModalCloser closer([&](QDialog* d) {
            c.close(d);
            stillOpen = d->isVisible();
        });
        doc->NewDiary();
        EXPECT_EQ(closer.opened, QStringList{QStringLiteral("TNewProcessForm")}) << c.name;
        EXPECT_FALSE(stillOpen) << c.name;
        EXPECT_EQ(state.NewProcessFlag, c.flagAfter) << c.name;
        EXPECT_EQ(newForm->CheckBox->isChecked(), c.ticked) << c.name; // kept for the next showing
    }
    // With the flag "F" the next new command loads without asking.
    state.NewProcessFlag = false;
    ModalCloser none;
    doc->NewDiary();
    EXPECT_TRUE(none.opened.isEmpty());
    EXPECT_EQ(text(), QStringLiteral("base"));
}

TEST_F(TNewProcessFormTest, IsBuiltWithItsTextsAndButtons)
{
    EXPECT_EQ(newForm->objectName(), QStringLiteral("TNewProcessForm"));
    EXPECT_EQ(newForm->windowTitle(),
              QStringLiteral("新規作成 - ベースHTML（ひな形）ファイルの読み込み選択"));
    EXPECT_EQ(newForm->Label1->text(),
              QStringLiteral("日記ＨＴＭＬの新規作成用 「ベースHTMLファイル」が"));
    EXPECT_EQ(newForm->Label2->text(), QStringLiteral("存在します。（右記参照）"));
    EXPECT_EQ(newForm->Label3->text(), QStringLiteral("ベースHTMLファイルを読み込みますか？"));
    EXPECT_EQ(editorText(newForm->SampleMemo), QStringLiteral("Base HTML File\r\nPreview Area."));
    EXPECT_TRUE(newForm->SampleMemo->isReadOnly());
    EXPECT_EQ(newForm->CheckBox->text(), QStringLiteral("二度と表示しない。(&N)"));
    EXPECT_EQ(newForm->OkButton->text(), QStringLiteral("読み込む(&R)"));
    EXPECT_TRUE(newForm->OkButton->isDefault());
    EXPECT_EQ(newForm->NoButton->text(), QStringLiteral("読み込まない(&C)"));
}

// A template that cannot be read while the window shows or loads it is reported there; the
// document stays as it was and the window stays open until the writer closes it.
TEST_F(TNewProcessFormTest, UnreadableTemplateIsReportedInsideTheWindow)
{
    putFile(basePath, "x");
    fake.files.unreadable.insert(basePath);
    fake.messages.answer({MsgAnswer::Ok, MsgAnswer::Ok});
    bool openAfterOk = false;
    ModalCloser closer([&](QDialog* d) {
        QTest::mouseClick(newForm->OkButton, Qt::LeftButton);
        openAfterOk = d->isVisible();
    });
    doc->NewDiary();
    EXPECT_TRUE(openAfterOk);
    ASSERT_EQ(fake.messages.shown.size(), 2);
    for (const Message& m : fake.messages.shown) {
        EXPECT_EQ(m.text, QStringLiteral("ﾌｧｲﾙ /opt/pelmora/basehtml.txt は開けません."));
        EXPECT_EQ(m.icon, MsgIcon::Stop);
    }
    EXPECT_EQ(text(), QString());
    EXPECT_EQ(controls(), (Controls{false, false, true, false}));
}

TEST_F(THistoryFormTest, ButtonsShowTheEntriesAtEveryShowing)
{
    struct Case {
        const char* name;
        std::array<QString, 3> entries;
    };
    const QString a = QStringLiteral("/home/w/a.htm"), c = QStringLiteral("/home/w/c.htm");
    const Case cases[] = {
        {"no entries", {}},
        {"one entry", {a, {}, {}}},
        {"gap in the middle", {a, {}, c}},
    };
    main->show();
    for (const Case& t : cases) {
        state.RecentFiles = t.entries;
        QStringList captions;
        QList<bool> enabled;
        QPoint at;
        ModalCloser closer([&](QDialog*) {
            for (QPushButton* b : {history->Button1, history->Button2, history->Button3}) {
                captions.append(b->text());
                enabled.append(b->isEnabled());
            }
            at = history->pos();
        });
        doc->ReOpen();
        ASSERT_EQ(closer.opened, QStringList{QStringLiteral("THistoryForm")}) << t.name;
        for (int i = 0; i < 3; ++i) {
            const QString& entry = t.entries[size_t(i)];
            EXPECT_EQ(captions[i], entry.isEmpty() ? QStringLiteral("履歴なし") : entry) << t.name;
            EXPECT_EQ(enabled[i], !entry.isEmpty()) << t.name;
        }
        EXPECT_EQ(at, main->pos() + QPoint(166, 96)) << t.name;
    }
    EXPECT_EQ(history->windowTitle(), QStringLiteral("ファイル履歴から開く"));
    EXPECT_EQ(
        history->Label1->text(),
        QStringLiteral(
            "最近保存したファイル３つを常に記憶しています。（保存していない場合は記録対象外）"));
    EXPECT_EQ(history->Label2->text(),
              QStringLiteral("その中から選択して、再度開くことができます。"));
    EXPECT_EQ(history->BitBtn1->text(), QStringLiteral("Cancel"));
}

TEST_F(RecentFilesTest, OpeningAnEntryKeepsTheOrderAndClosesTheWindow)
{
    const QString a = QStringLiteral("/home/w/a.htm"), b = QStringLiteral("/home/w/b.htm"),
                  c = QStringLiteral("/home/w/c.htm");
    putFile(b, "bee\n");
    state.RecentFiles = {a, b, c};
    bool closed = false;
    ModalCloser closer([&](QDialog* d) {
        QTest::mouseClick(history->Button2, Qt::LeftButton);
        closed = !d->isVisible();
    });
    doc->ReOpen();
    EXPECT_TRUE(closed);
    EXPECT_EQ(text(), QStringLiteral("bee\r\n"));
    EXPECT_EQ(tab->PanelEditFile->text(), b);
    EXPECT_EQ(controls(), (Controls{false, true, true, false}));
    EXPECT_EQ(state.RecentFiles, (std::array<QString, 3>{a, b, c}));
    typeText(tab->AllMemo, QStringLiteral("x"));
    EXPECT_TRUE(doc->SaveDiary());
    EXPECT_EQ(state.RecentFiles, (std::array<QString, 3>{b, a, c}));
}

TEST_F(RecentFilesTest, MissingAndWriteProtectedEntriesAreRefused)
{
    const QString gone = QStringLiteral("/home/w/gone.htm"),
                  locked = QStringLiteral("/home/w/locked.htm"),
                  unreadable = QStringLiteral("/home/w/unreadable.htm");
    putFile(locked, "l");
    fake.files.readOnly.insert(locked);
    putFile(unreadable, "u");
    fake.files.unreadable.insert(unreadable);
    state.RecentFiles = {gone, locked, unreadable};
    struct Case {
        const char* name;
        QPushButton* button;
        Message expected;
    };
    const Case cases[] = {
        {"missing",
         history->Button1,
         {QStringLiteral("ファイル /home/w/gone.htm は、削除されたか、もしくは移動されています。"),
          QStringLiteral("指定ファイルは存在しません"), MsgButtons::Ok, MsgIcon::Stop,
          MsgAnswer::Ok}},
        {"write-protected",
         history->Button2,
         {QStringLiteral("ファイル /home/w/locked.htm は、書き込み禁止に設定されています。\n"
                         "書き込み可能にしてから再度実行して下さい。"),
          QStringLiteral("書き込み禁止属性エラー"), MsgButtons::Ok, MsgIcon::Stop, MsgAnswer::Ok}},
        {"unreadable",
         history->Button3,
         {QStringLiteral("ﾌｧｲﾙ /home/w/unreadable.htm は開けません."), QStringLiteral("Pelmora 2"),
          MsgButtons::Ok, MsgIcon::Stop, MsgAnswer::Ok}},
    };
    const QString before = text();
    for (const Case& c : cases) {
        fake.messages.shown.clear();
        fake.messages.answer({MsgAnswer::Ok});
        bool stillOpen = false;
        ModalCloser closer([&](QDialog* d) {
            QTest::mouseClick(c.button, Qt::LeftButton);
            stillOpen = d->isVisible();
        });
        doc->ReOpen();
        EXPECT_TRUE(stillOpen) << c.name;
        ASSERT_EQ(fake.messages.shown.size(), 1) << c.name;
        const Message& m = fake.messages.shown[0];
        EXPECT_EQ(m.text, c.expected.text) << c.name;
        EXPECT_EQ(m.caption, c.expected.caption) << c.name;
        EXPECT_EQ(m.icon, c.expected.icon) << c.name;
        EXPECT_EQ(m.buttons, c.expected.buttons) << c.name;
        EXPECT_EQ(text(), before) << c.name;
        EXPECT_EQ(state.DocumentLoaded, false) << c.name;
        EXPECT_EQ(state.RecentFiles, (std::array<QString, 3>{gone, locked, unreadable})) << c.name;
    }
    EXPECT_TRUE(opened.isEmpty());
}

} // namespace
