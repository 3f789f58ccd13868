#include "app/TMainForm.h"

#include "app/FileDrops.h"
#include "app/HelpCommands.h"
#include "app/TExpForm.h"
#include "commands/CommandTable.h"
#include "core/AppInfo.h"
#include "datelist/DateListCommands.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "document/DocumentCommands.h"
#include "entry/EntryCommands.h"
#include "entry/HtmlSettings.h"
#include "entry/TodayEntryTab.h"
#include "export/EntryExport.h"
#include "find/FindCommands.h"
#include "platform/Controls.h"
#include "platform/ErrorMessages.h"
#include "platform/SystemInfo.h"
#include "preview/EditorCommands.h"
#include "preview/PreviewWindow.h"
#include "publish/PublishCommands.h"
#include "publish/Publisher.h"
#include "recovery/RecoveryKeeper.h"
#include "settings/SettingsCommands.h"
#include "settings/SettingsStore.h"
#include "settings/WindowPlace.h"
#include "tags/TagCommands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int startWidth = 560;
constexpr int startHeight = 385;

} // namespace

TMainForm::TMainForm(Platform platform, QWidget* parent)
    : QMainWindow(parent), OpenDialog(diaryOpenDialog()), SaveDialog(diarySaveDialog()),
      SaveDialogToday(todayExportDialog()), platform_(platform),
      errors_(errorMessages(platform.messages))
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(mainWindowCaption() + QStringLiteral("[*]")); // "*" while the diary is unsaved
    setCentralWidget(createCentralWidget());
    createFeatures();
    createCommands();
    setMinimumSize(startWidth, startHeight);
    resize(startWidth, startHeight);
    readSettings();
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

// The document, the windows made with it, and each feature with the parts of the window it
// works on.
void TMainForm::createFeatures()
{
    document_ = new DiaryDocument(state_, diaryTab_, platform_, OpenDialog, SaveDialog,
                                  {[this]() -> TNewProcessForm& { return windows_->newProcess(); },
                                   [this]() -> THistoryForm& { return windows_->history(); }},
                                  this);
    windows_ = std::make_unique<Windows>(
        WindowNeeds{this, state_, todayTab_, diaryTab_, *document_, platform_});
    auto refocus = [this] { refocusEditor(); };
    documentCommands_ = new DocumentCommands(state_, document_, diaryTab_, PageControl1);
    entryCommands_ = new EntryCommands(state_, todayTab_, diaryTab_, platform_,
                                       windows_->entryWindows(), refocus, this);
    tags_ = new TagCommands(state_, todayTab_->bodyEditor(), diaryTab_->AllMemo, platform_.messages,
                            windows_->tagWindows(), refocus, this);
    entryExport_ = new EntryExport(
        todayTab_, platform_, SaveDialogToday, [this] { return document_->encoding().lineEnd; },
        this);
    editorCommands_ =
        new EditorCommands(state_, todayTab_, diaryTab_, platform_, previewDock_, this);
    dateList_ = new DateListCommands(state_, todayTab_, diaryTab_, platform_, this);
    publisher_ = new Publisher(document_, diaryTab_, platform_, this);
    loadTransferFromProgramFolder(*publisher_);
    settings_ = new SettingsCommands(
        state_, todayTab_->bodyEditor(), diaryTab_->AllMemo, platform_,
        [this]() -> TAppSetForm& { return windows_->appSet(); }, refocus, this);
    help_ = new HelpCommands(state_, todayTab_, platform_, *windows_, refocus, this);
}

// The menu bar, its items and the buttons that give the same commands: each feature fills its
// slots of the menus.
void TMainForm::createCommands()
{
    commands_ = new CommandTable(menuBar(), this, errors_);
    layOutMenus();
    documentCommands_->addCommands(*commands_);
    entryCommands_->addCommands(*commands_);
    entryExport_->addCommands(*commands_, state_);
    const CommandRow exit = {
        CommandRow::Kind::Command, "AppliExit", QStringLiteral("Pelmora の終了(&X)"), {}, [this] {
            close();
        }};
    commands_->addRows("File.Exit", {{CommandRow::Kind::Separator, "N4"}, exit});
    tags_->addCommands(*commands_, todayTab_, diaryTab_);
    addFindCommands(*commands_, state_, [this] { return activeFindBar(); });
    editorCommands_->addCommands(*commands_);
    addPublishCommands(*commands_, *publisher_);
    settings_->addCommands(*commands_);
    dateList_->addCommands(*commands_);
    help_->addCommands(*commands_);
    commands_->build();

    editorCommands_->useItems(*commands_);
    dateList_->useItems(*commands_);
    documentCommands_->useItems(*commands_);
    commands_->bindButton(HelpBtn, "HelpVerInfo");
    commands_->bindButton(HtmlSetBtn, "SetHtml");
    commands_->bindButton(AppSetBtn, "SetWork");
    commands_->bindButton(AppExitBtn, "AppliExit");
    followStates();
}

// The menus of the bar and, in each, the slots the features fill, in the order they are shown.
void TMainForm::layOutMenus()
{
    commands_->addMenu("MenuAppli", QStringLiteral("ファイル(&F)"),
                       {"File.Diary", "File.Today", "File.Export", "File.Exit"});
    commands_->addMenu("MenuEdit", QStringLiteral("編集(&E)"),
                       {"Edit.Title", "Edit.Tags", "Edit.Clear", "Edit.Find", "Edit.Undo"});
    // No access key of its own: every letter is taken on one tab or the other (U by the find
    // bar's replace field); F10 and the arrows reach it, Ctrl+U sends.
    commands_->addMenu("MenuPublish", QStringLiteral("公開(&U)"), {"Publish"});
    commands_->addMenu("MenuSet", QStringLiteral("設定(&C)"), {"Set.Html", "Set.Work"});
    commands_->addMenu("MenuView", QStringLiteral("表示(&W)"), {"View.Editor", "View.DateList"});
    commands_->addMenu("MenuHelp", QStringLiteral("ヘルプ・情報(&I)"), {"Help"});
}

// The items' states follow the tab in front, and what each feature's rules read (each feature
// names the signals).
void TMainForm::followStates()
{
    connect(document_, &DiaryDocument::modifiedChanged, this, &QWidget::setWindowModified);
    connect(document_, &DiaryDocument::documentOpened, dateList_,
            &DateListCommands::followDiaryFile);
    connect(document_, &DiaryDocument::documentSaved, dateList_,
            &DateListCommands::followDiaryFile);
    connect(entryCommands_, &EntryCommands::htmlSettingsClosed, dateList_,
            &DateListCommands::followHtmlSettings);
    // Connected only now: QTabWidget reports a change while its tabs are added. The tab's own
    // state first, then the rules that read it, then the windows the switch brings up.
    connect(PageControl1, &QTabWidget::currentChanged, this, &TMainForm::followPage);
    commands_->recheckOn(PageControl1, &QTabWidget::currentChanged);
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this] { errors_.run([this] { PageControl1Change(); }); });
}

// One reading of the settings file: the twenty values, and beside them the features' choices and
// the window's place.
void TMainForm::readSettings()
{
    state_.ProgramFolder = platform_.system.workFolder();
    entry::FillHtmlDefaults(state_.Html, state_.NewProcessFlag);
    OtherTexts others;
    errors_.run([&] {
        loadSettings(platform_.keyStore, state_,
                     EditorCommands::choiceNames()
                         << windowPlaceName << DateListCommands::choiceNames(),
                     &others);
    });
    errors_.run([&] { editorCommands_->readChoices(others); });
    errors_.run([&] { dateList_->readChoice(others); });
    errors_.run([&] { settings_->restoreWindowPlace(this, others); });
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
    settings_->applyEditorFont();
    todayTab_->bodyEditor()->setFocus();
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

// The features' choices and the window's place are kept beside the values.
void TMainForm::saveEditorSettings()
{
    settings_->save(editorCommands_->choices()
                    << SettingsCommands::windowPlace(this) << dateList_->choices());
}

bool TMainForm::FormCloseQuery()
{
    return document_->AskSaveIfModified() != SaveAnswer::Cancelled && entryCommands_->mayClose();
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
    state_.CurrentPage = state_.CurrentPage == Page::Today ? Page::Diary : Page::Today;
}

void TMainForm::PageControl1Change()
{
    if (state_.CurrentPage == Page::Diary) {
        if (state_.FirstPageChangeFlag == FirstPageChange::ShowAtSwitch) {
            state_.FirstPageChangeFlag = FirstPageChange::ShownThisRun;
            windows_->exp().exec();
        }
        diaryTab_->AllMemo->setFocus();
    } else {
        todayTab_->bodyEditor()->setFocus();
    }
}

// Find and replace work in the editor of the tab in front, in the bar under it.
FindBar* TMainForm::activeFindBar() const
{
    if (state_.CurrentPage == Page::Diary)
        return diaryTab_->AllFindBar();
    return todayTab_->findBar();
}
