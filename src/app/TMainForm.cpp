#include "app/TMainForm.h"

#include "app/AboutInfo.h"
#include "app/DateListCommands.h"
#include "app/EditorCommands.h"
#include "app/FileDrops.h"
#include "app/Guidance.h"
#include "app/GuideWindow.h"
#include "app/InstallDirs.h"
#include "app/PreviewWindow.h"
#include "app/ProgramFolder.h"
#include "app/ProgramLibraries.h"
#include "app/TExpForm.h"
#include "app/THelpVerForm.h"
#include "app/TPleaseForm.h"
#include "core/AppInfo.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "entry/EntryInserter.h"
#include "entry/HtmlSettings.h"
#include "entry/TDiaryTitleForm.h"
#include "entry/THtmlForm.h"
#include "entry/TWeatherForm.h"
#include "entry/TodayEntryTab.h"
#include "export/EntryExport.h"
#include "find/FindBar.h"
#include "platform/Controls.h"
#include "platform/Messages.h"
#include "platform/SystemInfo.h"
#include "publish/Publisher.h"
#include "recovery/RecoveryKeeper.h"
#include "settings/SettingsStore.h"
#include "settings/TAppSetForm.h"
#include "settings/WindowPlace.h"
#include "tags/TagCommands.h"
#include "text/Cp932.h"
#include "text/TextEncoding.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// Where the transfer's library may be, as the program is started now.
QStringList transferFiles()
{
    return programLibraryFiles(QCoreApplication::applicationDirPath(), transferLibraryName);
}

constexpr int startWidth = 560;
constexpr int startHeight = 385;
constexpr qsizetype maxFontFaceBytes = 31;

const QString htmlFilter =
    QStringLiteral("HTMLファイル(*.html,*.htm)|*.html;*.htm|テキストファイル(*.txt)|*.txt|"
                   "すべてのファイル(*.*)|*.*");
const QString textFilter =
    QStringLiteral("全てのテキストファイル|*.txt;*.log;*.doc;|テキストファイル("
                   "*.txt)|*.txt|全てのファイル(*.*)|*.*");

} // namespace

TMainForm::TMainForm(Platform platform, QWidget* parent)
    : QMainWindow(parent), platform_(platform), errors_(platform.messages),
      windows_(*this, platform)
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(mainWindowCaption() + QStringLiteral("[*]")); // "*" while the diary is unsaved
    setCentralWidget(createCentralWidget());
    createFileDialogs();
    document_ = new DiaryDocument(state_, diaryTab_, platform_, OpenDialog, SaveDialog,
                                  {[this]() -> TNewProcessForm& { return windows_.newProcess(); },
                                   [this]() -> THistoryForm& { return windows_.history(); }},
                                  this);
    tags_ = new TagCommands(
        state_, todayTab_->bodyEditor(), diaryTab_->AllMemo, platform_.messages,
        {[this]() -> TLinkForm& { return windows_.link(); },
         [this]() -> TGraphicForm& { return windows_.graphic(); },
         [this]() -> TDecorationForm& { return windows_.decoration(); }},
        [this] { refocusEditor(); }, this);
    entryExport_ = new EntryExport(
        todayTab_, platform_, SaveDialogToday, [this] { return document_->encoding().lineEnd; },
        this);
    editorCommands_ =
        new EditorCommands(state_, todayTab_, diaryTab_, platform_, previewDock_, this);
    dateList_ = new DateListCommands(state_, todayTab_, diaryTab_, platform_, this);
    publisher_ = new Publisher(document_, diaryTab_, platform_, this);
    publisher_->loadTransfer = [](const char* symbol, QString& error) {
        return reinterpret_cast<UploadFunction>(resolveInLibraries(transferFiles(), symbol, error));
    };
    publisher_->loadSecrets = [] {
        QString error;
        const auto store = reinterpret_cast<SecretStoreFunction>(
            resolveInLibraries(transferFiles(), secretStoreName, error));
        return store ? store() : nullptr;
    };
    createCommands();
    setMinimumSize(startWidth, startHeight);
    resize(startWidth, startHeight);

    state_.ProgramFolder = platform_.system.workFolder();
    entry::FillHtmlDefaults(state_.Html, state_.NewProcessFlag);
    // One reading of the settings file: the twenty values, and beside them the editor's choices
    // and the window's place.
    OtherTexts others;
    errors_.run([&] {
        loadSettings(platform_.keyStore, state_,
                     EditorCommands::choiceNames()
                         << windowPlaceName << DateListCommands::choiceNames(),
                     &others);
    });
    errors_.run([&] { editorCommands_->readChoices(others); });
    errors_.run([&] { dateList_->readChoice(others); });
    errors_.run([&] { restoreWindowPlace(others); });

    connect(new FileDrops(this), &FileDrops::fileDropped, this, &TMainForm::openGivenFile);
}

QWidget* TMainForm::createCentralWidget()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 0, 2, 2);
    layout->setSpacing(2);

    auto* topLine = new QFrame(central);
    topLine->setObjectName(QStringLiteral("Bevel1"));
    topLine->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    layout->addWidget(topLine);

    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    todayTab_ = new TodayEntryTab(state_, platform_.clock, PageControl1);
    diaryTab_ = new DiaryFileTab(PageControl1);
    PageControl1->addTab(todayTab_, QStringLiteral("今日の日記編集"));
    PageControl1->addTab(diaryTab_, QStringLiteral("日記ファイル全体編集"));
    previewDock_ = new QSplitter(Qt::Horizontal, central);
    previewDock_->setObjectName(QStringLiteral("PreviewDock"));
    previewDock_->setChildrenCollapsible(false);
    previewDock_->addWidget(PageControl1);
    layout->addWidget(previewDock_, 1);
    layout->addLayout(createBottomRow());
    return central;
}

QLayout* TMainForm::createBottomRow()
{
    HelpBtn = makeButton("HelpBtn", QStringLiteral("ヘルプ(F1)"),
                         QStringLiteral("バージョン情報を表示します。"), this);
    HelpBtn->setIcon(buttonIcon(QStyle::SP_DialogHelpButton));
    HtmlSetBtn = makeButton("HtmlSetBtn", QStringLiteral("HTML設定(&M)"),
                            QStringLiteral("HTML化するための設定を行います。"), this);
    HtmlSetBtn->setIcon(buttonIcon(QStyle::SP_FileDialogDetailedView));
    AppSetBtn = makeButton("AppSetBtn", QStringLiteral("動作設定(&V)"),
                           QStringLiteral("表示制限などの設定を行います。"), this);
    AppSetBtn->setIcon(buttonIcon(QStyle::SP_FileDialogListView));
    AppExitBtn = makeButton("AppExitBtn", QStringLiteral("閉じる(&X)"),
                            QStringLiteral("Pelmora を終了します。"), this);
    AppExitBtn->setIcon(buttonIcon(QStyle::SP_DialogCloseButton));

    auto* row = new QHBoxLayout;
    row->addWidget(HelpBtn);
    row->addWidget(HtmlSetBtn);
    row->addWidget(AppSetBtn);
    row->addStretch(1);
    row->addWidget(AppExitBtn);
    return row;
}

void TMainForm::createFileDialogs()
{
    OpenDialog.title = QStringLiteral("日記HTMLを開く");
    OpenDialog.defaultExt = QStringLiteral("htm");
    OpenDialog.filter = htmlFilter;

    SaveDialog.title = QStringLiteral("日記HTMLを保存");
    SaveDialog.defaultExt = QStringLiteral("htm");
    SaveDialog.filter = htmlFilter;
    SaveDialog.overwritePrompt = true;

    SaveDialogToday.filter = textFilter;
    SaveDialogToday.overwritePrompt = true;
}

// The menu bar, its items and the buttons that give the same commands, from one table.
void TMainForm::createCommands()
{
    commands_ = new CommandTable(menuBar(), this, errors_);
    QList<CommandRow> rows = fileMenu() + editMenu() + publishMenu() + otherMenus();
    // The date list's items close the view menu.
    const auto help = std::find_if(rows.begin(), rows.end(), [](const CommandRow& row) {
        return qstrcmp(row.name, "MenuHelp") == 0;
    });
    const qsizetype at = help - rows.begin();
    rows = rows.first(at) + dateList_->menuRows([this] {
        return !onFirstTab() && document_->isLoaded();
    }) + rows.sliced(at);
    commands_->build(rows);
    editorCommands_->useItems(commands_->action("ViewPreview"), commands_->action("ViewColoring"));
    dateList_->useItems(*commands_);
    bindButtons();
    offerDiaryFileItemsOnFirstTab();
    followStates();
}

// The diary file's new and open items work on the second tab; on the first their tips say so,
// and Ctrl+O there brings the second tab to the front and opens, as a writer expects of it.
void TMainForm::offerDiaryFileItemsOnFirstTab()
{
    const QString why = QStringLiteral("「日記ファイル全体編集」タブで使えます。");
    commands_->explainWhenOff("FileAllNew", why);
    commands_->explainWhenOff("FileAllOpen", why);
    auto* open = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), todayTab_);
    open->setContext(Qt::WidgetWithChildrenShortcut);
    connect(open, &QShortcut::activated, this, [this] {
        PageControl1->setCurrentIndex(1);
        commands_->action("FileAllOpen")->trigger();
    });
}

bool TMainForm::onFirstTab() const
{
    return state_.CurrentPage == Page::Today;
}

// The tag, insertion and find items work in the first tab's editor, and in the second tab's once
// a diary document is there.
bool TMainForm::tagsOffered() const
{
    return onFirstTab() || document_->isLoaded();
}

// The menu's save items: on the second tab with a document, as the document offers them, and at
// every switch to that tab until the document next opens or saves.
bool TMainForm::diarySaveOffered(bool documentOffers) const
{
    return !onFirstTab() && document_->isLoaded() && (documentOffers || switchedToDiary_);
}

QList<CommandRow> TMainForm::fileMenu()
{
    using K = CommandRow::Kind;
    auto diaryTab = [this] { return !onFirstTab(); };
    auto firstTab = [this] { return onFirstTab(); };
    return QList<CommandRow>{
               {K::Menu, "MenuAppli", QStringLiteral("ファイル(&F)")},
               {K::Command,
                "FileAllNew",
                QStringLiteral("HTMLファイルを新規作成(&N)"),
                {},
                [this] { document_->NewDiary(); },
                diaryTab},
               {K::Command,
                "FileAllOpen",
                QStringLiteral("HTMLファイルを開く(&O)..."),
                {QKeySequence(Qt::CTRL | Qt::Key_O)},
                [this] { document_->OpenDiary(); },
                diaryTab},
               {K::Command,
                "FileAllSave",
                QStringLiteral("HTMLファイルを上書き保存(&S)"),
                {QKeySequence(Qt::CTRL | Qt::Key_S)},
                [this] { document_->SaveDiary(); },
                [this] { return diarySaveOffered(document_->saveOffered()); }},
               {K::Command,
                "FileAllSaveAs",
                QStringLiteral("HTMLファイルを別名で保存(&A)..."),
                {},
                [this] { document_->SaveDiaryAs(); },
                [this] { return diarySaveOffered(document_->saveAsOffered()); }},
           }
           + encodingRows()
           + QList<CommandRow>{
               {K::Separator, "N3"},
               {K::Command,
                "FileTodayNew",
                QStringLiteral("新しく今日の日記を書く(&N)"),
                {},
                [this] { DeleteBtnClick(); },
                firstTab},
               {K::Submenu,
                "FileTodaySave",
                QStringLiteral("今日の日記だけを保存(&S)"),
                {},
                {},
                firstTab},
               {K::Command,
                "FileTodaySaveHnf",
                QStringLiteral("ハイパー日記システム形式β(&H)"),
                {},
                [this] { entryExport_->FileTodaySaveHnfClick(); },
                {},
                "FileTodaySave"},
               {K::Command,
                "FileTodaySaveText",
                QStringLiteral("テキスト形式(&T)"),
                {},
                [this] { entryExport_->FileTodaySaveTextClick(); },
                {},
                "FileTodaySave"},
               {K::Separator, "N4"},
               {K::Command,
                "AppliExit",
                QStringLiteral("Pelmora の終了(&X)"),
                {},
                [this] { close(); }},
           };
}

// Reading the diary's file again in a chosen encoding, and saving a copy in another: a submenu
// of the encodings each, opened from the diary tab's buttons too.
QList<CommandRow> TMainForm::encodingRows()
{
    using K = CommandRow::Kind;
    using text::Encoding;
    auto withFile = [this] { return !onFirstTab() && !document_->fileName().isEmpty(); };
    auto withDocument = [this] { return !onFirstTab() && document_->isLoaded(); };
    QList<CommandRow> rows = {{K::Submenu,
                               "FileReopenAs",
                               QStringLiteral("文字コードを指定して開き直す(&E)"),
                               {},
                               {},
                               withFile}};
    const std::pair<const char*, Encoding> reopen[] = {{"FileReopenShiftJis", Encoding::ShiftJis},
                                                       {"FileReopenEucJp", Encoding::EucJp},
                                                       {"FileReopenUtf8", Encoding::Utf8}};
    for (const auto& [name, encoding] : reopen)
        rows.append({K::Command,
                     name,
                     text::encodingName({encoding}),
                     {},
                     [this, encoding] { document_->ReopenAs(encoding); },
                     {},
                     "FileReopenAs"});
    rows.append({K::Submenu,
                 "FileSaveAsEncoding",
                 QStringLiteral("文字コードを変えて保存(&C)"),
                 {},
                 {},
                 withDocument});
    const std::pair<const char*, text::FileEncoding> save[] = {
        {"FileSaveShiftJis", {Encoding::ShiftJis}},
        {"FileSaveEucJp", {Encoding::EucJp}},
        {"FileSaveUtf8", {Encoding::Utf8}},
        {"FileSaveUtf8Bom", {Encoding::Utf8, true}}};
    for (const auto& [name, encoding] : save)
        rows.append({K::Command,
                     name,
                     text::encodingName(encoding) + QStringLiteral("..."),
                     {},
                     [this, encoding] { document_->SaveCopyAs(encoding); },
                     {},
                     "FileSaveAsEncoding"});
    return rows;
}

QList<CommandRow> TMainForm::editMenu()
{
    using K = CommandRow::Kind;
    auto firstTab = [this] { return onFirstTab(); };
    auto tags = [this] { return tagsOffered(); };
    return {
        {K::Menu, "MenuEdit", QStringLiteral("編集(&E)")},
        {K::Command,
         "EditTitle",
         QStringLiteral("タイトルを付ける(&T)..."),
         {},
         [this] { AddTitleBtnClick(); },
         firstTab},
        {K::Separator, "N1"},
        {K::Command,
         "EditBR",
         QStringLiteral("改行タグ挿入(&B)"),
         {QKeySequence(Qt::CTRL | Qt::Key_B)},
         [this] { tags_->BRTagBtnClick(); },
         tags},
        {K::Command,
         "EditHR",
         QStringLiteral("水平線タグ挿入(&H)"),
         {QKeySequence(Qt::CTRL | Qt::Key_H)},
         [this] { tags_->HRBtnClick(); },
         tags},
        {K::Command,
         "EditLink",
         QStringLiteral("リンクタグの挿入(&L)..."),
         {},
         [this] { tags_->LinkTagBtnClick(); },
         tags},
        {K::Command,
         "EditIMG",
         QStringLiteral("画像指定タグ挿入(&G)..."),
         {},
         [this] { tags_->IMGBtnClick(); },
         tags},
        {K::Command,
         "EditDec",
         QStringLiteral("文字装飾タグ挿入(&D)..."),
         {},
         [this] { tags_->StyleBtnClick(); },
         tags},
        {K::Separator, "N2"},
        {K::Command,
         "EditDelete",
         QStringLiteral("全て削除(&C)"),
         {},
         [this] { DeleteBtnClick(); },
         firstTab},
        {K::Separator, "NFind"},
        {K::Command,
         "EditFind",
         QStringLiteral("検索(&F)..."),
         {QKeySequence(Qt::CTRL | Qt::Key_F)},
         [this] { EditFindClick(); },
         tags},
        {K::Command,
         "EditFindNext",
         QStringLiteral("次を検索(&N)"),
         {QKeySequence(Qt::Key_F3)},
         [this] { EditFindNextClick(); },
         tags},
        {K::Command,
         "EditFindPrev",
         QStringLiteral("前を検索(&P)"),
         {QKeySequence(Qt::SHIFT | Qt::Key_F3)},
         [this] { EditFindPrevClick(); },
         tags},
        // Ctrl+H is the rule tag.
        {K::Command,
         "EditReplace",
         QStringLiteral("置換(&R)..."),
         {QKeySequence(Qt::CTRL | Qt::Key_R)},
         [this] { EditReplaceClick(); },
         tags},
        {K::Separator, "N6"},
        {K::Command,
         "EditUndo",
         QStringLiteral("元に戻す(&U)"),
         {QKeySequence(Qt::CTRL | Qt::Key_Z)},
         [this] { editorCommands_->EditUndoClick(); },
         [this] { return editorCommands_->undoOffered(); }},
        {K::Command,
         "EditRedo",
         QStringLiteral("やり直し(&Y)"),
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
         [this] { editorCommands_->EditRedoClick(); },
         [this] { return editorCommands_->redoOffered(); }},
    };
}

QList<CommandRow> TMainForm::publishMenu()
{
    using K = CommandRow::Kind;
    Publisher* publisher = publisher_;
    auto offered = [publisher] { return publisher->sendOffered(); };
    return {
        // No access key of its own: every letter is taken on one tab or the other (U by the find
        // bar's replace field); F10 and the arrows reach it, Ctrl+U sends.
        {K::Menu, "MenuPublish", QStringLiteral("公開(&U)")},
        {K::Command,
         "PublishSet",
         QStringLiteral("公開の設定(&S)..."),
         {},
         [publisher] { publisher->PublishSetClick(); },
         offered},
        {K::Command,
         "PublishSend",
         QStringLiteral("サイトへ送る(&U)"),
         {QKeySequence(Qt::CTRL | Qt::Key_U)},
         [publisher] { publisher->PublishSendClick(); },
         offered},
        {K::Command,
         "PublishCheck",
         QStringLiteral("送る前に確認(&C)..."),
         {},
         [publisher] { publisher->PublishCheckClick(); },
         offered},
        {K::Command,
         "PublishRecord",
         QStringLiteral("送信の記録(&R)..."),
         {},
         [publisher] { publisher->PublishRecordClick(); }},
    };
}

QList<CommandRow> TMainForm::otherMenus()
{
    using K = CommandRow::Kind;
    EditorCommands* view = editorCommands_;
    return {
        {K::Menu, "MenuSet", QStringLiteral("設定(&C)")},
        {K::Command, "SetHtml", QStringLiteral("HTML設定(&H)"), {}, [this] { HtmlSetBtnClick(); }},
        {K::Command, "SetWork", QStringLiteral("動作設定(&W)"), {}, [this] { AppSetBtnClick(); }},
        {K::Menu, "MenuView", QStringLiteral("表示(&W)")},
        {K::Command,
         "ViewPreview",
         QStringLiteral("プレビュー(&P)"),
         {QKeySequence(Qt::Key_F5)},
         [view] { view->ViewPreviewClick(); },
         {},
         nullptr,
         true},
        {K::Command,
         "ViewBrowser",
         QStringLiteral("ブラウザで開く(&B)"),
         {QKeySequence(Qt::SHIFT | Qt::Key_F5)},
         [view] { view->ViewBrowserClick(); },
         [view] { return view->browserOffered(); }},
        {K::Command,
         "ViewGoToLine",
         QStringLiteral("指定行へ移動(&G)..."),
         {QKeySequence(Qt::CTRL | Qt::Key_G)},
         [view] { view->ViewGoToLineClick(); },
         [view] { return view->goToLineOffered(); }},
        {K::Command,
         "ViewColoring",
         QStringLiteral("HTMLの色分け(&K)"),
         {},
         [view] { view->ViewColoringClick(); },
         {},
         nullptr,
         true},
        {K::Menu, "MenuHelp", QStringLiteral("ヘルプ・情報(&I)")},
        {K::Command,
         "HelpVerInfo",
         QStringLiteral("バージョン情報(&V)..."),
         {QKeySequence(Qt::Key_F1)},
         [this] { HelpBtnClick(); }},
        {K::Separator, "N5"},
        {K::Command,
         "HelpGuide",
         QStringLiteral("使い方ガイド(&M)"),
         {},
         [this] { HelpGuideClick(); }},
        {K::Command,
         "HelpAdvice",
         QStringLiteral("操作ガイド(&G)..."),
         {},
         [this] { HelpAdviceClick(); }},
        {K::Command,
         "HelpDonotmind",
         QStringLiteral("ユーザの方々の日記へのリンク(&U)"),
         {},
         [this] { HelpDonotmindClick(); }},
    };
}

// Each button runs its item's command; the three without an item run their own.
void TMainForm::bindButtons()
{
    const std::pair<QAbstractButton*, const char*> buttons[] = {
        {HelpBtn, "HelpVerInfo"},
        {HtmlSetBtn, "SetHtml"},
        {AppSetBtn, "SetWork"},
        {AppExitBtn, "AppliExit"},
        {todayTab_->deleteButton(), "EditDelete"},
        {todayTab_->addTitleButton(), "EditTitle"},
        {todayTab_->breakButton(), "EditBR"},
        {diaryTab_->NewDiaryBtn, "FileAllNew"},
        {diaryTab_->OpenDiaryBtn, "FileAllOpen"},
        {diaryTab_->SaveDiaryBtn, "FileAllSave"},
        {diaryTab_->SaveAsBtn, "FileAllSaveAs"},
        {diaryTab_->BRTagBtn, "EditBR"},
        {diaryTab_->HRBtn, "EditHR"},
        {diaryTab_->LinkTagBtn, "EditLink"},
        {diaryTab_->IMGBtn, "EditIMG"},
        {diaryTab_->StyleBtn, "EditDec"},
        {diaryTab_->EntryPlaceBtn, "ViewEntryPlace"},
    };
    for (const auto& [button, item] : buttons)
        commands_->bindButton(button, item);
    commands_->bindMenuButton(diaryTab_->ReopenAsBtn, "FileReopenAs");
    commands_->bindMenuButton(diaryTab_->SaveAsEncodingBtn, "FileSaveAsEncoding");
    auto own = [this](QAbstractButton* button, auto command) {
        connect(button, &QAbstractButton::clicked, this, [this, command] { errors_.run(command); });
    };
    own(todayTab_->hintButton(), [this] { UseHintBtnClick(); });
    own(diaryTab_->ReOpenBtn, [this] { document_->ReOpen(); });
    own(diaryTab_->InsertDiaryBtn, [this] { InsertDiaryBtnClick(); });
    // The diary tab's save buttons follow the document's offers alone (not the tab switch, as the
    // menu's items do); its insert and tag buttons come with the first document.
    commands_->enableWhen(diaryTab_->SaveDiaryBtn, [this] { return document_->saveOffered(); });
    commands_->enableWhen(diaryTab_->SaveAsBtn, [this] { return document_->saveAsOffered(); });
    for (QPushButton* button : {diaryTab_->InsertDiaryBtn, diaryTab_->BRTagBtn, diaryTab_->HRBtn,
                                diaryTab_->LinkTagBtn, diaryTab_->IMGBtn, diaryTab_->StyleBtn})
        commands_->enableWhen(button, [this] { return document_->isLoaded(); });
}

// The items' states follow the tab in front, the document, its offers to save and the active
// editor's undo history.
void TMainForm::followStates()
{
    auto documentEvent = [this] { switchedToDiary_ = false; };
    connect(document_, &DiaryDocument::documentOpened, this, documentEvent);
    connect(document_, &DiaryDocument::documentSaved, this, documentEvent);
    connect(document_, &DiaryDocument::modifiedChanged, this, &QWidget::setWindowModified);
    connect(document_, &DiaryDocument::documentOpened, dateList_,
            &DateListCommands::followDiaryFile);
    connect(document_, &DiaryDocument::documentSaved, dateList_,
            &DateListCommands::followDiaryFile);
    // Connected only now: QTabWidget reports a change while its tabs are added. The tab's own
    // state first, then the rules that read it, then the windows the switch brings up.
    connect(PageControl1, &QTabWidget::currentChanged, this, &TMainForm::followPage);
    commands_->recheckOn(document_, &DiaryDocument::saveOffersChanged);
    commands_->recheckOn(document_, &DiaryDocument::documentOpened);
    commands_->recheckOn(document_, &DiaryDocument::documentSaved);
    commands_->recheckOn(document_, &DiaryDocument::fileNameChanged);
    commands_->recheckOn(document_, &DiaryDocument::loadedChanged);
    commands_->recheckOn(publisher_, &Publisher::sendingChanged);
    commands_->recheckOn(PageControl1, &QTabWidget::currentChanged);
    for (QPlainTextEdit* editor : {todayTab_->bodyEditor(), diaryTab_->AllMemo}) {
        commands_->recheckOn(editor, &QPlainTextEdit::undoAvailable);
        commands_->recheckOn(editor, &QPlainTextEdit::redoAvailable);
    }
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this] { errors_.run([this] { PageControl1Change(); }); });
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    errors_.run([this] { FormShow(); });
}

void TMainForm::FormShow()
{
    todayTab_->ClearTodayEntry();
    applyEditorFont();
    todayTab_->bodyEditor()->setFocus();
}

// The stored size and face go on TodayMemo; AllMemo always shows the same font.
void TMainForm::applyEditorFont()
{
    QPlainTextEdit* today = todayTab_->bodyEditor();
    QFont font = today->font();
    if (state_.EditorFontSize >= 1) // a size below 1 cannot be shown; the size stays
        font.setPointSize(state_.EditorFontSize);
    if (!state_.EditorFontFace.isEmpty())
        font.setFamily(text::truncateCp932(state_.EditorFontFace, maxFontFaceBytes));
    today->setFont(font);
    diaryTab_->AllMemo->setFont(font);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    bool mayClose = false;
    errors_.run([&] { mayClose = FormCloseQuery() && publisher_->mayClose(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    event->accept();
    if (recovery_)
        recovery_->finish();
    editorCommands_->preview()->hide();
    errors_.run([this] { saveEditorSettings(); });
}

bool TMainForm::startRecovery(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    recovery_ =
        new RecoveryKeeper(todayTab_, diaryTab_, document_, platform_.messages, folder, this);
    if (!recovery_->offerLeftovers())
        return false;
    return document_->isModified();
}

void TMainForm::openGivenFile(const QString& path)
{
    if (auto* busy = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        connect(
            busy, &QDialog::finished, this, [this, path] { openGivenFile(path); },
            Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        return;
    }
    errors_.run([&] {
        PageControl1->setCurrentIndex(1); // where the writer opens a diary
        document_->OpenDiaryFile(path);
    });
}

void TMainForm::takeHandOver(const QString& path)
{
    setWindowState(windowState() & ~Qt::WindowMinimized); // a maximised window stays maximised
    show();
    raise();
    activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget()) { // still in front of the window
        modal->raise();
        modal->activateWindow();
    }
    if (!path.isEmpty())
        openGivenFile(path);
}

// The window comes back where it was when it last closed, unless that place no longer fits on
// any screen (one was taken away, or made smaller); then it starts as on the first run.
void TMainForm::restoreWindowPlace(const OtherTexts& others)
{
    const std::optional<WindowPlace> place = parseWindowPlace(others.value(windowPlaceName));
    if (!place)
        return;
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    if (!fitsOnAScreen(place->geometry, areas))
        return;
    setGeometry(place->geometry);
    if (place->maximised)
        setWindowState(windowState() | Qt::WindowMaximized);
}

// The font reaches the store as TodayMemo shows it. A stored size that no editor can show (below
// 1 point) is kept as it was stored unless the writer has set a font in the settings window.
void TMainForm::saveEditorSettings()
{
    const QFont font = todayTab_->bodyEditor()->font();
    const bool keepStoredSize = state_.EditorFontSize < 1 && !fontSetByWriter_;
    const int size = keepStoredSize ? state_.EditorFontSize : font.pointSize();
    QList<std::pair<QString, QString>> others = editorCommands_->choices();
    others.append({windowPlaceName, windowPlaceText({normalGeometry(), isMaximized()})});
    others.append(dateList_->choices());
    saveSettings(platform_.keyStore, state_, size, font.family(), platform_.messages, others);
}

bool TMainForm::FormCloseQuery()
{
    if (document_->AskSaveIfModified() == SaveAnswer::Cancelled)
        return false;
    if (!todayTab_->bodyDocument()->isModified())
        return true;
    const MsgAnswer answer = platform_.messages.show(
        {QStringLiteral("「今日の日記」本文が変更されたまま、使用（挿入）されていません。\n"
                        "このまま終了してもよろしいですか？"),
         QStringLiteral("終了確認"), MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes});
    return answer == MsgAnswer::Yes;
}

void TMainForm::refocusEditor()
{
    if (state_.CurrentPage == Page::Today)
        todayTab_->bodyEditor()->setFocus();
    else
        diaryTab_->AllMemo->setFocus();
}

// The switch is decided by CurrentPage alone: the program has two tabs, so any change of the
// tab in front is a change to the other one.
void TMainForm::followPage()
{
    const bool toDiary = state_.CurrentPage == Page::Today;
    state_.CurrentPage = toDiary ? Page::Diary : Page::Today;
    switchedToDiary_ = toDiary;
}

void TMainForm::PageControl1Change()
{
    if (state_.CurrentPage == Page::Diary) {
        if (state_.FirstPageChangeFlag == FirstPageChange::ShowAtSwitch) {
            state_.FirstPageChangeFlag = FirstPageChange::ShownThisRun;
            windows_.exp().exec();
        }
        diaryTab_->AllMemo->setFocus();
    } else {
        todayTab_->bodyEditor()->setFocus();
    }
}

void TMainForm::HelpBtnClick()
{
    windows_.helpVer().exec();
    refocusEditor();
}

void TMainForm::HtmlSetBtnClick()
{
    THtmlForm& form = windows_.html();
    connect(&form, &THtmlForm::htmlSettingsChanged, dateList_,
            &DateListCommands::followHtmlSettings, Qt::UniqueConnection);
    form.exec();
    refocusEditor();
}

void TMainForm::AppSetBtnClick()
{
    if (windows_.appSet().exec() == QDialog::Accepted)
        fontSetByWriter_ = true;
    refocusEditor();
}

void TMainForm::DeleteBtnClick()
{
    const MsgAnswer answer = platform_.messages.show(
        {QStringLiteral("入力内容をクリアしてよろしいですか？"), QStringLiteral("クリア確認"),
         MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes});
    if (answer == MsgAnswer::Yes)
        todayTab_->ClearTodayEntry();
}

void TMainForm::AddTitleBtnClick()
{
    windows_.diaryTitle().exec();
    todayTab_->bodyEditor()->setFocus();
}

// The guide of the checkout for a program in a build tree, the installed one for the installed
// program.
void TMainForm::HelpGuideClick()
{
    const QString programFolder = programFolderOf(platform_.system.programFilePath());
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    const bool installed = !canonical.isEmpty()
                           && canonical == QFileInfo(installedProgramFolder()).canonicalFilePath();
    const QString path =
        about::guidePath(platform_.files, installed, sourceGuideFolder(), installedGuideFolder());
    if (path.isEmpty()) {
        platform_.messages.show({QStringLiteral("使い方ガイド（%1）が見つかりません。")
                                     .arg(installedGuideFolder() + QStringLiteral("guide.md")),
                                 appTitle(), MsgButtons::Ok, MsgIcon::Exclamation});
        return;
    }
    if (!guide_)
        guide_ = new GuideWindow(this);
    guide_->open(path);
}

void TMainForm::HelpDonotmindClick()
{
    windows_.please().exec();
}

void TMainForm::UseHintBtnClick()
{
    platform_.messages.show(operationAdvice());
    todayTab_->bodyEditor()->setFocus();
}

// The first tab's advice, or the second tab's explanation whatever FirstPageChangeFlag says.
void TMainForm::HelpAdviceClick()
{
    if (state_.CurrentPage == Page::Today)
        UseHintBtnClick();
    else
        windows_.exp().exec();
}

void TMainForm::InsertDiaryBtnClick()
{
    EntryInserter(todayTab_, diaryTab_, state_, platform_, [this] {
        return windows_.weather().askColour();
    }).InsertDiaryBtnClick();
}

// Find and replace work in the editor of the tab in front, in the bar under it.
FindBar* TMainForm::activeFindBar() const
{
    if (state_.CurrentPage == Page::Diary)
        return diaryTab_->AllFindBar();
    return todayTab_->findBar();
}

void TMainForm::EditFindClick()
{
    activeFindBar()->openFind();
}

void TMainForm::EditFindNextClick()
{
    activeFindBar()->findNext();
}

void TMainForm::EditFindPrevClick()
{
    activeFindBar()->findPrevious();
}

void TMainForm::EditReplaceClick()
{
    activeFindBar()->openReplace();
}
