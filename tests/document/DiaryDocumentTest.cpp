#include "core/AppError.h"
#include "core/AppInfo.h"
#include "document/DiaryText.h"
#include "document/DocumentFixture.h"
#include "platform/QtPlatform.h"
#include "support/ModalCloser.h"
#include "support/Typing.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

namespace {

using DiaryDocumentTest = DocumentFixture;

const QString diaryA = QStringLiteral("/home/w/a.htm");
const QString diaryB = QStringLiteral("/home/w/b.htm");

const Message askToSave{QStringLiteral("編集内容は保存されていません。\n保存しますか？"),
                        QStringLiteral("Pelmora 2"), MsgButtons::YesNoCancel, MsgIcon::Question,
                        MsgAnswer::Yes};

void expectMessage(const Message& shown, const Message& expected)
{
    EXPECT_EQ(shown.text, expected.text);
    EXPECT_EQ(shown.caption, expected.caption);
    EXPECT_EQ(shown.buttons, expected.buttons);
    EXPECT_EQ(shown.icon, expected.icon);
    EXPECT_EQ(shown.defaultButton, expected.defaultButton);
}

TEST_F(DiaryDocumentTest, FollowsTheStateTableRowByRow)
{
    using C = Controls;
    putFile(diaryA, "<html>\r\n");
    putFile(diaryB, "<p>\r\n");
    state.RecentFiles = {diaryB, {}, {}};
    const QString placeholder = text();

    // start
    EXPECT_EQ(controls(), (C{false, false, false, true}));
    EXPECT_EQ(tab->PanelEditFile->text(), QStringLiteral("None."));
    EXPECT_TRUE(placeholder.contains(QStringLiteral("   *** 日記HTMLファイル編集領域 ***")));
    typeText(tab->AllMemo, QStringLiteral("x"));
    EXPECT_EQ(text(), placeholder); // the placeholder refuses typing
    EXPECT_EQ(state.DocumentLoaded, false);

    struct Step {
        const char* name;
        std::function<void()> run;
        C after;
        QString shown; // the file name display
    };
    const Step steps[] = {
        {"open", [&] { openThroughDialog(diaryA); }, {false, true, true, false}, diaryA},
        {"change",
         [&] { typeText(tab->AllMemo, QStringLiteral("z")); },
         {true, true, true, false},
         diaryA},
        {"save", [&] { EXPECT_TRUE(doc->SaveDiary()); }, {false, false, true, false}, diaryA},
        {"new",
         [&] { doc->NewDiary(); }, // no template in the program folder
         {false, false, true, false},
         QStringLiteral("New File.")},
        {"change",
         [&] { typeText(tab->AllMemo, QStringLiteral("n")); },
         {true, true, true, false},
         QStringLiteral("New File.")},
        {"save as",
         [&] {
             fake.fileDialogs.answers.push_back(QStringLiteral("/home/w/new.htm"));
             EXPECT_TRUE(doc->SaveDiaryAs());
         },
         {false, false, true, false},
         QStringLiteral("/home/w/new.htm")},
        {"open from history",
         [&] { EXPECT_TRUE(doc->OpenRecentFile(3)); },
         {false, true, true, false},
         diaryB},
    };
    for (const Step& step : steps) {
        step.run();
        EXPECT_EQ(controls(), step.after) << step.name;
        EXPECT_EQ(tab->PanelEditFile->text(), step.shown) << step.name;
        EXPECT_EQ(state.DocumentLoaded, true) << step.name;
    }
    EXPECT_EQ(file(diaryA), QByteArray("z<html>\r\n"));
    EXPECT_EQ(file(QStringLiteral("/home/w/new.htm")), QByteArray("n"));
    EXPECT_EQ(text(), QStringLiteral("<p>\r\n"));
    EXPECT_EQ(state.RecentFiles,
              (std::array<QString, 3>{QStringLiteral("/home/w/new.htm"), diaryA, diaryB}));
    EXPECT_EQ(opened, (QList<bool>{true, false, true}));
    EXPECT_EQ(saves, 2);
    EXPECT_TRUE(fake.messages.shown.isEmpty());
}

TEST_F(DiaryDocumentTest, OpenUsesTheOpenDialogAndFocusesTheEditor)
{
    main->show();
    putFile(diaryA, "a\nb");
    openThroughDialog(diaryA);
    ASSERT_EQ(fake.fileDialogs.opened.size(), 1);
    EXPECT_EQ(fake.fileDialogs.opened[0].title, QStringLiteral("日記HTMLを開く"));
    EXPECT_EQ(text(), QStringLiteral("a\r\nb"));
    EXPECT_EQ(state.CurrentFileName, diaryA);
    EXPECT_FALSE(doc->isModified());
    EXPECT_EQ(main->focusWidget(), tab->AllMemo);
    // The dialog keeps the name chosen last; the save dialog does not follow the document.
    fake.fileDialogs.answers.push_back(std::nullopt);
    doc->OpenDiary();
    EXPECT_EQ(fake.fileDialogs.opened[1].fileName, diaryA);
    fake.fileDialogs.answers.push_back(std::nullopt);
    doc->SaveDiaryAs();
    EXPECT_TRUE(fake.fileDialogs.saved[0].fileName.isEmpty());
}

// Every path that would lose changes asks first; each answer as the callers need it.
TEST_F(DiaryDocumentTest, AskToSaveAnswersOnEveryPath)
{
    putFile(diaryA, "old");
    putFile(diaryB, "other");
    state.RecentFiles = {diaryB, {}, {}};

    struct Case {
        const char* name;
        bool named; // the document has a file name
        MsgAnswer answer;
        std::optional<QString> saveDialog; // answer of the save dialog, when it shows
        SaveAnswer result;
        QByteArray fileAfter; // content of a.htm (or of the save-as target) after the question
    };
    const QString target = QStringLiteral("/home/w/saved.htm");
    const Case cases[] = {
        {"yes saves to its file", true, MsgAnswer::Yes, {}, SaveAnswer::Done, "xold"},
        {"no declines", true, MsgAnswer::No, {}, SaveAnswer::Declined, "old"},
        {"cancel cancels", true, MsgAnswer::Cancel, {}, SaveAnswer::Cancelled, "old"},
        {"yes on a new document asks for a name", false, MsgAnswer::Yes, target, SaveAnswer::Done,
         "x"},
        {"cancelled save dialog cancels", false, MsgAnswer::Yes, std::nullopt,
         SaveAnswer::Cancelled, ""},
    };

    // Each caller of the question: what it does after each answer.
    enum class Caller { Ask, Open, New, ReOpen };
    for (Caller caller : {Caller::Ask, Caller::Open, Caller::New, Caller::ReOpen}) {
        for (const Case& c : cases) {
            const std::string where =
                std::string(c.name) + " / caller " + std::to_string(int(caller));
            fake.files.files.insert(diaryA, "old");
            fake.files.files.remove(target);
            fake.messages.shown.clear();
            if (c.named) {
                openThroughDialog(diaryA);
            } else {
                doc->NewDiary();
            }
            typeText(tab->AllMemo, QStringLiteral("x"));
            const QString edited = text();
            fake.messages.answer({c.answer});
            if (!c.named && c.answer == MsgAnswer::Yes)
                fake.fileDialogs.answers.push_back(c.saveDialog);
            const bool goesOn = c.result != SaveAnswer::Cancelled;
            ModalCloser closer; // the history window, when it shows, is closed at once

            switch (caller) {
            case Caller::Ask: EXPECT_EQ(doc->AskSaveIfModified(), c.result) << where; break;
            case Caller::Open:
                if (goesOn)
                    fake.fileDialogs.answers.push_back(diaryB);
                doc->OpenDiary();
                EXPECT_EQ(text(), goesOn ? QStringLiteral("other") : edited) << where;
                break;
            case Caller::New:
                doc->NewDiary();
                EXPECT_EQ(text(), goesOn ? QString() : edited) << where;
                break;
            case Caller::ReOpen:
                doc->ReOpen();
                EXPECT_EQ(closer.opened.size(), goesOn ? 1 : 0) << where;
                break;
            }
            ASSERT_FALSE(fake.messages.shown.isEmpty()) << where;
            expectMessage(fake.messages.shown[0], askToSave);
            EXPECT_EQ(file(c.named ? diaryA : target), c.fileAfter) << where;
            EXPECT_TRUE(fake.messages.answers.empty()) << where;
            EXPECT_TRUE(fake.fileDialogs.answers.empty()) << where;
            if (caller == Caller::Ask || caller == Caller::ReOpen || !goesOn) {
                // Nothing replaced the text; it is modified unless it was saved.
                EXPECT_EQ(doc->isModified(), c.result != SaveAnswer::Done) << where;
                doc->ResetAfterLoad(); // leave the next case a clean document
            }
        }
    }
}

TEST_F(DiaryDocumentTest, NothingToSaveAsksNothing)
{
    EXPECT_EQ(doc->AskSaveIfModified(), SaveAnswer::Done);
    putFile(diaryA, "a");
    openThroughDialog(diaryA);
    EXPECT_EQ(doc->AskSaveIfModified(), SaveAnswer::Done);
    fake.fileDialogs.answers.push_back(std::nullopt);
    doc->OpenDiary(); // straight to the dialog
    EXPECT_EQ(fake.fileDialogs.opened.size(), 2);
    EXPECT_TRUE(fake.messages.shown.isEmpty());
}

TEST_F(DiaryDocumentTest, NoThenCancelledOpenKeepsTheModifiedDocument)
{
    putFile(diaryA, "a");
    openThroughDialog(diaryA);
    typeText(tab->AllMemo, QStringLiteral("q"));
    fake.messages.answer({MsgAnswer::No});
    fake.fileDialogs.answers.push_back(std::nullopt);
    doc->OpenDiary();
    EXPECT_EQ(text(), QStringLiteral("qa"));
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(controls(), (Controls{true, true, true, false}));
}

TEST_F(DiaryDocumentTest, SaveWithoutANameIsSaveAs)
{
    doc->NewDiary();
    typeText(tab->AllMemo, QStringLiteral("t"));
    fake.fileDialogs.answers.push_back(std::nullopt);
    EXPECT_FALSE(doc->SaveDiary());
    ASSERT_EQ(fake.fileDialogs.saved.size(), 1);
    EXPECT_EQ(fake.fileDialogs.saved[0].title, QStringLiteral("日記HTMLを保存"));
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(state.RecentFiles[0], QString());

    fake.fileDialogs.answers.push_back(diaryB);
    EXPECT_TRUE(doc->SaveDiary());
    EXPECT_EQ(file(diaryB), QByteArray("t"));
    EXPECT_EQ(state.CurrentFileName, diaryB);
    EXPECT_EQ(tab->PanelEditFile->text(), diaryB);
    EXPECT_EQ(state.RecentFiles[0], diaryB);
}

// A write that fails leaves the file, the name, the flag, the controls and the list alone.
TEST_F(DiaryDocumentTest, FailedSaveChangesNothing)
{
    putFile(diaryA, "old");
    state.RecentFiles = {diaryB, {}, {}};
    openThroughDialog(diaryA);
    typeText(tab->AllMemo, QStringLiteral("x"));
    fake.files.readOnly.insert(diaryA);
    const QString locked = QStringLiteral("/home/w/full-disk.htm");
    fake.files.failingWrites.insert(locked);

    struct Case {
        const char* name;
        std::function<void()> run;
        QString failedPath;
    };
    const Case cases[] = {
        {"save", [&] { doc->SaveDiary(); }, diaryA},
        {"save as",
         [&] {
             fake.fileDialogs.answers.push_back(locked);
             doc->SaveDiaryAs();
         },
         locked},
        {"yes inside the question of open",
         [&] {
             fake.messages.answer({MsgAnswer::Yes});
             doc->OpenDiary(); // the open dialog is never shown
         },
         diaryA},
    };
    for (const Case& c : cases) {
        try {
            c.run();
            ADD_FAILURE() << c.name << ": no error";
        } catch (const AppError& e) {
            EXPECT_EQ(e.text(), QStringLiteral("ﾌｧｲﾙ %1 を作成できません").arg(c.failedPath))
                << c.name;
        }
        EXPECT_EQ(file(diaryA), QByteArray("old")) << c.name;
        EXPECT_FALSE(fake.files.files.contains(locked)) << c.name;
        EXPECT_EQ(state.CurrentFileName, diaryA) << c.name;
        EXPECT_EQ(tab->PanelEditFile->text(), diaryA) << c.name;
        EXPECT_TRUE(doc->isModified()) << c.name;
        EXPECT_EQ(controls(), (Controls{true, true, true, false})) << c.name;
        EXPECT_EQ(state.RecentFiles, (std::array<QString, 3>{diaryB, {}, {}})) << c.name;
        EXPECT_EQ(text(), QStringLiteral("xold")) << c.name;
    }
    EXPECT_EQ(fake.fileDialogs.opened.size(), 1);
    EXPECT_EQ(saves, 0);
}

// Another program changed the open file, or it is gone (a removable disk unmounted leaves an
// empty folder, or another device, in its place): writing is asked about, once, No the default.
TEST_F(DiaryDocumentTest, AFileChangedOnDiskIsWrittenOverOnlyWhenTheWriterSaysSo)
{
    const QString other = QStringLiteral("/home/w/other.htm");
    struct Case {
        const char* name;
        std::function<void()> change;
        std::optional<MsgAnswer> answer; // nothing: no question
        bool saved;
    };
    const Case cases[] = {
        {"changed, yes", [&] { putFile(diaryA, "theirs"); }, MsgAnswer::Yes, true},
        {"changed, no", [&] { putFile(diaryA, "theirs"); }, MsgAnswer::No, false},
        // Within the time's resolution, or with its time set back: only the content tells.
        {"same size and time, no", [&] { putFile(diaryA, "new"); }, MsgAnswer::No, false},
        {"touched only, no",
         [&] { fake.files.modified.insert(diaryA, QDateTime(QDate(2026, 1, 2), QTime(3, 4))); },
         MsgAnswer::No, false},
        {"deleted, yes", [&] { fake.files.files.remove(diaryA); }, MsgAnswer::Yes, true},
        {"deleted, no", [&] { fake.files.files.remove(diaryA); }, MsgAnswer::No, false},
        {"on another disk, no", [&] { fake.files.devices.insert(diaryA, 7); }, MsgAnswer::No,
         false},
        {"saved elsewhere since",
         [&] {
             fake.fileDialogs.answers.push_back(other);
             doc->SaveDiaryAs();
             typeText(tab->AllMemo, QStringLiteral("y"));
         },
         std::nullopt, true},
    };
    for (const Case& c : cases) {
        fake.files.files.clear();
        fake.files.modified.clear();
        fake.files.devices.clear();
        putFile(diaryA, "old");
        if (doc->isModified())
            fake.messages.answer({MsgAnswer::No}); // the last row's changes are dropped
        openThroughDialog(diaryA);
        fake.messages.shown.clear();
        typeText(tab->AllMemo, QStringLiteral("x"));
        c.change();
        const QByteArray before = file(state.CurrentFileName);
        if (c.answer)
            fake.messages.answer({*c.answer});

        EXPECT_EQ(doc->SaveDiary(), c.saved) << c.name;

        ASSERT_EQ(fake.messages.shown.size(), c.answer ? 1 : 0) << c.name;
        if (c.answer) {
            const Message& asked = fake.messages.shown[0];
            EXPECT_TRUE(asked.text.startsWith(QStringLiteral("ファイル ") + diaryA)) << c.name;
            EXPECT_EQ(asked.caption, appTitle()) << c.name;
            EXPECT_EQ(asked.buttons, MsgButtons::YesNo) << c.name;
            EXPECT_EQ(asked.icon, MsgIcon::Question) << c.name;
            EXPECT_EQ(asked.defaultButton, MsgAnswer::No) << c.name;
        }
        EXPECT_EQ(file(state.CurrentFileName), c.saved ? QByteArray(text().toLatin1()) : before)
            << c.name;
        EXPECT_EQ(doc->isModified(), !c.saved) << c.name;
        if (c.saved) { // the written file is the one known now: the next save asks nothing
            typeText(tab->AllMemo, QStringLiteral("z"));
            EXPECT_TRUE(doc->SaveDiary()) << c.name;
        }
    }
    // No inside the question before changes are lost: the close, open or new stops.
    typeText(tab->AllMemo, QStringLiteral("w"));
    putFile(state.CurrentFileName, "theirs again");
    fake.messages.answer({MsgAnswer::Yes, MsgAnswer::No});
    EXPECT_EQ(doc->AskSaveIfModified(), SaveAnswer::Cancelled);
    EXPECT_EQ(file(state.CurrentFileName), QByteArray("theirs again"));
}

// A UTF-8 diary opens as UTF-8 without a word, shows its encoding, and is saved as UTF-8; a
// declaration its bytes contradict is told once, naming the encoding used.
TEST_F(DiaryDocumentTest, AUtf8DiaryOpensAsUtf8AndAWrongDeclarationIsToldOnce)
{
    putFile(diaryA, "<p>\xe6\x97\xa5\xe8\xa8\x98</p>");
    putFile(diaryB, "<meta charset=\"EUC-JP\"><p>\x93\xfa\x8b\x4c</p>");
    openThroughDialog(diaryA);
    EXPECT_TRUE(fake.messages.shown.isEmpty());
    EXPECT_EQ(text(), QStringLiteral("<p>日記</p>"));
    EXPECT_EQ(tab->PanelEncoding->text(), QStringLiteral("UTF-8・CR LF"));
    typeText(tab->AllMemo, QStringLiteral("凛"));
    EXPECT_TRUE(doc->SaveDiary());
    EXPECT_EQ(file(diaryA), QByteArray("\xe5\x87\x9b<p>\xe6\x97\xa5\xe8\xa8\x98</p>"));

    fake.messages.onShow = [&](const Message&) { EXPECT_EQ(text().right(9), u"<p>日記</p>"); };
    fake.messages.answer({MsgAnswer::Ok});
    openThroughDialog(diaryB);
    ASSERT_EQ(fake.messages.shown.size(), 1);
    const Message& told = fake.messages.shown[0];
    EXPECT_TRUE(told.text.startsWith(QStringLiteral("ファイル ") + diaryB));
    EXPECT_TRUE(told.text.contains(u"EUC-JP") && told.text.contains(u"Shift-JIS として"))
        << told.text.toStdString();
    EXPECT_EQ(told.icon, MsgIcon::Information);
    EXPECT_EQ(tab->PanelEncoding->text(), QStringLiteral("Shift-JIS・CR LF"));
}

TEST_F(DiaryDocumentTest, UnreadableFileLeavesTheDocumentAsItWas)
{
    putFile(diaryA, "a");
    openThroughDialog(diaryA);
    typeText(tab->AllMemo, QStringLiteral("m"));
    putFile(diaryB, "b");
    fake.files.unreadable.insert(diaryB);
    fake.messages.answer({MsgAnswer::No});
    fake.fileDialogs.answers.push_back(diaryB);
    EXPECT_THROW(doc->OpenDiary(), AppError);
    EXPECT_EQ(text(), QStringLiteral("ma"));
    EXPECT_EQ(state.CurrentFileName, diaryA);
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(controls(), (Controls{true, true, true, false}));
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(DiaryDocumentTest, UnencodableCharactersAreToldOnceAfterTheSave)
{
    putFile(diaryA, "");
    openThroughDialog(diaryA);
    tab->AllMemo->insertPlainText(QStringLiteral("😀😀\n🍣"));
    fake.messages.onShow = [&](const Message&) {
        // The save is complete when the writer is told.
        EXPECT_EQ(file(diaryA), QByteArray("&#128512;&#128512;\r\n&#127843;"));
        EXPECT_FALSE(doc->isModified());
    };
    fake.messages.answer({MsgAnswer::Ok});
    EXPECT_TRUE(doc->SaveDiary());
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_EQ(fake.messages.shown[0].caption, appTitle());
    EXPECT_EQ(fake.messages.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(fake.messages.shown[0].text, document::unencodableNotice({0x1F600, 0x1F363}));
}

// Real files: line ends normalised on opening, every other byte kept, saved byte for byte.
TEST_F(DiaryDocumentTest, OpensAndSavesRealFilesToTheExpectedBytes)
{
    QTemporaryDir dir;
    QtFiles files;
    Platform real = fake.platform();
    DiaryDocument onDisk(state, tab,
                         {real.messages, real.fileDialogs, real.clipboard, real.clock, real.system,
                          files, real.keyStore},
                         openDialog, saveDialog);
    const QString path = dir.filePath(QStringLiteral("日記.htm"));
    // CR, LF, CR LF mixed; "日記" in Shift-JIS; a stray 0x80, 0xFF, NUL, a dangling lead byte,
    // UTF-8 bytes; no final line break.
    const QByteArray original("<p>\x93\xfa\x8b\x4c\r\x80\xff\n\x00\r\n\x81\rUTF-8 \xe6\x97\xa5",
                              25);
    const QByteArray expected(
        "<p>\x93\xfa\x8b\x4c\r\n\x80\xff\r\n\x00\r\n\x81\r\nUTF-8 \xe6\x97\xa5", 28);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(original);
    }
    fake.fileDialogs.answers.push_back(path);
    onDisk.OpenDiary();
    EXPECT_TRUE(text().startsWith(QStringLiteral("<p>日記\r\n")));
    EXPECT_FALSE(onDisk.isModified());
    EXPECT_TRUE(onDisk.SaveDiary());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().toHex(' '), expected.toHex(' '));
}

} // namespace

// Reading the file again in another encoding asks to save first; even a wrong choice saves the
// same bytes back. A copy in another encoding gets the new name in its declaration, is told, and
// leaves the document as it was.
TEST_F(DiaryDocumentTest, ReopenInAndSaveACopyInAnotherEncoding)
{
    const QByteArray sjis = "<meta charset=\"Shift_JIS\">\r\n\x93\xfa\x8b\x4c\r\n";
    putFile(diaryA, sjis);
    openThroughDialog(diaryA);
    typeText(tab->AllMemo, QStringLiteral("x"));
    fake.messages.answer({MsgAnswer::Cancel});
    EXPECT_FALSE(doc->ReopenAs(text::Encoding::Utf8));
    EXPECT_TRUE(doc->isModified());

    fake.messages.answer({MsgAnswer::No, MsgAnswer::Ok});
    EXPECT_TRUE(doc->ReopenAs(text::Encoding::Utf8));
    EXPECT_EQ(tab->PanelEncoding->text(), QStringLiteral("UTF-8・CR LF"));
    EXPECT_EQ(doc->encoding(), text::FileEncoding{text::Encoding::Utf8});
    EXPECT_FALSE(doc->isModified());
    EXPECT_EQ(fake.messages.shown.size(), 2); // the question; no word on the declaration
    typeText(tab->AllMemo, QStringLiteral("y"));
    EXPECT_TRUE(doc->SaveDiary());
    EXPECT_EQ(file(diaryA), "y" + sjis);

    EXPECT_TRUE(doc->ReopenAs(text::Encoding::ShiftJis));
    tab->AllMemo->insertPlainText(QStringLiteral("😀"));
    fake.fileDialogs.answers.push_back(diaryB);
    fake.messages.answer({MsgAnswer::Ok});
    EXPECT_TRUE(doc->SaveCopyAs({text::Encoding::Utf8, true}));
    EXPECT_EQ(file(diaryB), QByteArray("\xEF\xBB\xBF\xF0\x9F\x98\x80y<meta charset=\"UTF-8\">\r\n"
                                       "\xE6\x97\xA5\xE8\xA8\x98\r\n"));
    EXPECT_TRUE(fake.messages.shown.last().text.contains(u"meta charset"));
    EXPECT_EQ(file(diaryA), "y" + sjis);
    EXPECT_EQ(state.CurrentFileName, diaryA);
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(doc->encoding(), text::FileEncoding{});

    fake.fileDialogs.answers.push_back(diaryB);
    fake.messages.answer({MsgAnswer::Ok, MsgAnswer::Ok});
    EXPECT_TRUE(doc->SaveCopyAs({text::Encoding::EucJp}));
    EXPECT_EQ(file(diaryB),
              QByteArray("&#128512;y<meta charset=\"EUC-JP\">\r\n\xC6\xFC\xB5\xAD\r\n"));
    EXPECT_TRUE(fake.messages.shown.last().text.startsWith(u"次の文字は EUC-JP で表せない"));
    fake.fileDialogs.answers.push_back(std::nullopt);
    EXPECT_FALSE(doc->SaveCopyAs({text::Encoding::EucJp}));
    fake.fileDialogs.answers.push_back(diaryA); // the document's own file: refused
    fake.messages.answer({MsgAnswer::Ok});
    EXPECT_FALSE(doc->SaveCopyAs({text::Encoding::EucJp}));
    EXPECT_TRUE(
        fake.messages.shown.last().text.startsWith(QStringLiteral("編集中のファイル ") + diaryA));
    EXPECT_EQ(file(diaryA), "y" + sjis);
}
