#include "app/TMainForm.h"

#include "app/EditorCommands.h"
#include "app/FileDrops.h"
#include "app/Guidance.h"
#include "app/PreviewWindow.h"
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
#include "recovery/RecoveryKeeper.h"
#include "settings/SettingsStore.h"
#include "settings/TAppSetForm.h"
#include "settings/WindowPlace.h"
#include "tags/TagCommands.h"
#include "text/Cp932.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

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
    setWindowTitle(mainWindowCaption());
    createActions();
    createMenus();
    setCentralWidget(createCentralWidget());
    createEditorCommands();
    createFileDialogs();
    document_ = new DiaryDocument(state_, diaryTab_, platform_, OpenDialog, SaveDialog,
                                  {[this]() -> TNewProcessForm& { return windows_.newProcess(); },
                                   [this]() -> THistoryForm& { return windows_.history(); }},
                                  this);
    connect(document_, &DiaryDocument::documentOpened, this, &TMainForm::DocumentOpened);
    connect(document_, &DiaryDocument::documentSaved, this, &TMainForm::DocumentSaved);
    tags_ = new TagCommands(
        state_, todayTab_->bodyEditor(), diaryTab_->AllMemo, platform_.messages,
        {[this]() -> TLinkForm& { return windows_.link(); },
         [this]() -> TGraphicForm& { return windows_.graphic(); },
         [this]() -> TDecorationForm& { return windows_.decoration(); }},
        [this] { refocusEditor(); }, this);
    entryExport_ = new EntryExport(todayTab_, platform_, SaveDialogToday, this);
    connectCommands();
    setMinimumSize(startWidth, startHeight);
    resize(startWidth, startHeight);

    state_.ProgramFolder = platform_.system.workFolder();
    entry::FillHtmlDefaults(state_.Html, state_.NewProcessFlag);
    // One reading of the settings file: the twenty values, and beside them the editor's choices
    // and the window's place.
    OtherTexts others;
    errors_.run([&] {
        loadSettings(platform_.keyStore, state_, EditorCommands::choiceNames() << windowPlaceName,
                     &others);
    });
    errors_.run([&] { editorCommands_->readChoices(others); });
    errors_.run([&] { restoreWindowPlace(others); });

    connect(new FileDrops(this), &FileDrops::fileDropped, this, &TMainForm::openGivenFile);
}

// Menu items, in the menus' order; each is named as the design names it.
void TMainForm::createActions()
{
    auto item = [this](const char* name, const QString& caption) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    FileAllNew = item("FileAllNew", QStringLiteral("HTMLファイルを新規作成(&N)"));
    FileAllOpen = item("FileAllOpen", QStringLiteral("HTMLファイルを開く(&O)..."));
    FileAllOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    FileAllSave = item("FileAllSave", QStringLiteral("HTMLファイルを上書き保存(&S)"));
    FileAllSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    FileAllSaveAs = item("FileAllSaveAs", QStringLiteral("HTMLファイルを別名で保存(&A)..."));
    FileTodayNew = item("FileTodayNew", QStringLiteral("新しく今日の日記を書く(&N)"));
    FileTodaySaveHnf = item("FileTodaySaveHnf", QStringLiteral("ハイパー日記システム形式β(&H)"));
    FileTodaySaveText = item("FileTodaySaveText", QStringLiteral("テキスト形式(&T)"));
    AppliExit = item("AppliExit", QStringLiteral("Pelmora の終了(&X)"));
    EditTitle = item("EditTitle", QStringLiteral("タイトルを付ける(&T)..."));
    EditBR = item("EditBR", QStringLiteral("改行タグ挿入(&B)"));
    EditBR->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    EditHR = item("EditHR", QStringLiteral("水平線タグ挿入(&H)"));
    EditHR->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    EditLink = item("EditLink", QStringLiteral("リンクタグの挿入(&L)..."));
    EditIMG = item("EditIMG", QStringLiteral("画像指定タグ挿入(&G)..."));
    EditDec = item("EditDec", QStringLiteral("文字装飾タグ挿入(&D)..."));
    EditDelete = item("EditDelete", QStringLiteral("全て削除(&C)"));
    EditFind = item("EditFind", QStringLiteral("検索(&F)..."));
    EditFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    EditFindNext = item("EditFindNext", QStringLiteral("次を検索(&N)"));
    EditFindNext->setShortcut(QKeySequence(Qt::Key_F3));
    EditFindPrev = item("EditFindPrev", QStringLiteral("前を検索(&P)"));
    EditFindPrev->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    EditReplace = item("EditReplace", QStringLiteral("置換(&R)..."));
    EditReplace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R)); // Ctrl+H is the rule tag
    SetHtml = item("SetHtml", QStringLiteral("HTML設定(&H)"));
    SetWork = item("SetWork", QStringLiteral("動作設定(&W)"));
    HelpVerInfo = item("HelpVerInfo", QStringLiteral("バージョン情報(&V)..."));
    HelpVerInfo->setShortcut(QKeySequence(Qt::Key_F1));
    HelpAdvice = item("HelpAdvice", QStringLiteral("操作ガイド(&G)..."));
    HelpDonotmind = item("HelpDonotmind", QStringLiteral("ユーザの方々の日記へのリンク(&U)"));
}

void TMainForm::createMenus()
{
    auto menu = [this](const char* name, const QString& caption) {
        QMenu* m = menuBar()->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    auto separator = [](QMenu* m, const char* name) {
        m->addSeparator()->setObjectName(QLatin1String(name));
    };

    QMenu* file = menu("MenuAppli", QStringLiteral("ファイル(&F)"));
    file->addActions({FileAllNew, FileAllOpen, FileAllSave, FileAllSaveAs});
    separator(file, "N3");
    file->addAction(FileTodayNew);
    QMenu* todaySave = file->addMenu(QStringLiteral("今日の日記だけを保存(&S)"));
    FileTodaySave = todaySave->menuAction();
    FileTodaySave->setObjectName(QStringLiteral("FileTodaySave"));
    todaySave->addActions({FileTodaySaveHnf, FileTodaySaveText});
    separator(file, "N4");
    file->addAction(AppliExit);

    QMenu* edit = menu("MenuEdit", QStringLiteral("編集(&E)"));
    edit->addAction(EditTitle);
    separator(edit, "N1");
    edit->addActions({EditBR, EditHR, EditLink, EditIMG, EditDec});
    separator(edit, "N2");
    edit->addAction(EditDelete);
    separator(edit, "NFind");
    edit->addActions({EditFind, EditFindNext, EditFindPrev, EditReplace});

    QMenu* settings = menu("MenuSet", QStringLiteral("設定(&C)"));
    settings->addActions({SetHtml, SetWork});

    QMenu* help = menu("MenuHelp", QStringLiteral("ヘルプ・情報(&I)"));
    help->addAction(HelpVerInfo);
    separator(help, "N5");
    help->addActions({HelpAdvice, HelpDonotmind});
}

// The editing and viewing commands need both tabs; their items join the menus made before.
void TMainForm::createEditorCommands()
{
    editorCommands_ = new EditorCommands(state_, todayTab_, diaryTab_, platform_, errors_, this);
    editorCommands_->addEditItems(findChild<QMenu*>(QStringLiteral("MenuEdit")));
    editorCommands_->addViewMenu(menuBar(),
                                 findChild<QMenu*>(QStringLiteral("MenuHelp"))->menuAction());
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
    layout->addWidget(PageControl1, 1);
    layout->addLayout(createBottomRow());
    return central;
}

QLayout* TMainForm::createBottomRow()
{
    HelpBtn = makeButton("HelpBtn", QStringLiteral("ヘルプ(F1)"),
                         QStringLiteral("バージョン情報を表示します。"), this);
    HelpBtn->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    HtmlSetBtn = makeButton("HtmlSetBtn", QStringLiteral("HTML設定(&M)"),
                            QStringLiteral("HTML化するための設定を行います。"), this);
    HtmlSetBtn->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    AppSetBtn = makeButton("AppSetBtn", QStringLiteral("動作設定(&V)"),
                           QStringLiteral("表示制限などの設定を行います。"), this);
    AppSetBtn->setIcon(style()->standardIcon(QStyle::SP_FileDialogListView));
    AppExitBtn = makeButton("AppExitBtn", QStringLiteral("閉じる(&X)"),
                            QStringLiteral("Pelmora を終了します。"), this);
    AppExitBtn->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

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

// Every command runs under the general error handler: an error it does not handle itself is
// shown and the program goes on.
template <typename Target, typename Result>
void TMainForm::onClick(QAbstractButton* button, Target* target, Result (Target::*handler)())
{
    connect(button, &QAbstractButton::clicked, target,
            [this, target, handler] { errors_.run([&] { (target->*handler)(); }); });
}

template <typename Target, typename Result>
void TMainForm::onTrigger(QAction* action, Target* target, Result (Target::*handler)())
{
    connect(action, &QAction::triggered, target,
            [this, target, handler] { errors_.run([&] { (target->*handler)(); }); });
}

void TMainForm::connectCommands()
{
    onClick(HelpBtn, this, &TMainForm::HelpBtnClick);
    onClick(HtmlSetBtn, this, &TMainForm::HtmlSetBtnClick);
    onClick(AppSetBtn, this, &TMainForm::AppSetBtnClick);
    connect(AppExitBtn, &QPushButton::clicked, this, &TMainForm::close);

    TodayEntryTab* today = todayTab_;
    onClick(today->deleteButton(), this, &TMainForm::DeleteBtnClick);
    onClick(today->addTitleButton(), this, &TMainForm::AddTitleBtnClick);
    onClick(today->breakButton(), tags_, &TagCommands::BRTagBtnClick);
    onClick(today->hintButton(), this, &TMainForm::UseHintBtnClick);

    DiaryFileTab* diary = diaryTab_;
    onClick(diary->NewDiaryBtn, document_, &DiaryDocument::NewDiary);
    onClick(diary->OpenDiaryBtn, document_, &DiaryDocument::OpenDiary);
    onClick(diary->ReOpenBtn, document_, &DiaryDocument::ReOpen);
    onClick(diary->InsertDiaryBtn, this, &TMainForm::InsertDiaryBtnClick);
    onClick(diary->SaveDiaryBtn, document_, &DiaryDocument::SaveDiary);
    onClick(diary->SaveAsBtn, document_, &DiaryDocument::SaveDiaryAs);
    onClick(diary->BRTagBtn, tags_, &TagCommands::BRTagBtnClick);
    onClick(diary->HRBtn, tags_, &TagCommands::HRBtnClick);
    onClick(diary->LinkTagBtn, tags_, &TagCommands::LinkTagBtnClick);
    onClick(diary->IMGBtn, tags_, &TagCommands::IMGBtnClick);
    onClick(diary->StyleBtn, tags_, &TagCommands::StyleBtnClick);
    connect(diary->AllMemo, &QPlainTextEdit::textChanged, this, &TMainForm::AllMemoChange);

    onTrigger(FileAllNew, document_, &DiaryDocument::NewDiary);
    onTrigger(FileAllOpen, document_, &DiaryDocument::OpenDiary);
    onTrigger(FileAllSave, document_, &DiaryDocument::SaveDiary);
    onTrigger(FileAllSaveAs, document_, &DiaryDocument::SaveDiaryAs);
    onTrigger(FileTodayNew, this, &TMainForm::DeleteBtnClick);
    onTrigger(FileTodaySaveHnf, entryExport_, &EntryExport::FileTodaySaveHnfClick);
    onTrigger(FileTodaySaveText, entryExport_, &EntryExport::FileTodaySaveTextClick);
    connect(AppliExit, &QAction::triggered, this, &TMainForm::close);
    onTrigger(EditTitle, this, &TMainForm::AddTitleBtnClick);
    onTrigger(EditBR, tags_, &TagCommands::BRTagBtnClick);
    onTrigger(EditHR, tags_, &TagCommands::HRBtnClick);
    onTrigger(EditLink, tags_, &TagCommands::LinkTagBtnClick);
    onTrigger(EditIMG, tags_, &TagCommands::IMGBtnClick);
    onTrigger(EditDec, tags_, &TagCommands::StyleBtnClick);
    onTrigger(EditDelete, this, &TMainForm::DeleteBtnClick);
    onTrigger(EditFind, this, &TMainForm::EditFindClick);
    onTrigger(EditFindNext, this, &TMainForm::EditFindNextClick);
    onTrigger(EditFindPrev, this, &TMainForm::EditFindPrevClick);
    onTrigger(EditReplace, this, &TMainForm::EditReplaceClick);
    onTrigger(SetHtml, this, &TMainForm::HtmlSetBtnClick);
    onTrigger(SetWork, this, &TMainForm::AppSetBtnClick);
    onTrigger(HelpVerInfo, this, &TMainForm::HelpBtnClick);
    onTrigger(HelpAdvice, this, &TMainForm::HelpAdviceClick);
    onTrigger(HelpDonotmind, this, &TMainForm::HelpDonotmindClick);

    // Connected only now: QTabWidget reports a change while its tabs are added.
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
    for (QAction* item : {FileAllNew, FileAllOpen, FileAllSave, FileAllSaveAs})
        item->setEnabled(false);
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
    errors_.run([&] { mayClose = FormCloseQuery(); });
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
    recovery_ =
        new RecoveryKeeper(todayTab_, diaryTab_, document_, platform_.messages, folder, this);
    if (!recovery_->offerLeftovers())
        return false;
    applyTabMenuStates();
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
void TMainForm::PageControl1Change()
{
    if (state_.CurrentPage == Page::Today) {
        state_.CurrentPage = Page::Diary;
        applyTabMenuStates();
        if (state_.FirstPageChangeFlag == FirstPageChange::ShowAtSwitch) {
            state_.FirstPageChangeFlag = FirstPageChange::ShownThisRun;
            windows_.exp().exec();
        }
        diaryTab_->AllMemo->setFocus();
    } else {
        state_.CurrentPage = Page::Today;
        applyTabMenuStates();
        todayTab_->bodyEditor()->setFocus();
    }
}

void TMainForm::applyTabMenuStates()
{
    const bool first = state_.CurrentPage == Page::Today;
    const bool document = state_.DocumentLoaded;
    for (QAction* item : {EditTitle, EditDelete, FileTodayNew, FileTodaySave})
        item->setEnabled(first);
    for (QAction* item : {FileAllNew, FileAllOpen})
        item->setEnabled(!first);
    for (QAction* item : {FileAllSave, FileAllSaveAs})
        item->setEnabled(!first && document);
    for (QAction* item : {EditBR, EditHR, EditLink, EditIMG, EditDec, EditFind, EditFindNext,
                          EditFindPrev, EditReplace}) {
        if (first)
            item->setEnabled(true);
        else if (!document)
            item->setEnabled(false);
    }
    editorCommands_->updateStates();
}

// The document keeps the buttons of its tab right; the menu items are the main window's.
void TMainForm::AllMemoChange()
{
    FileAllSave->setEnabled(true);
    FileAllSaveAs->setEnabled(true);
}

void TMainForm::DocumentOpened(bool fromFile)
{
    FileAllSave->setEnabled(false);
    FileAllSaveAs->setEnabled(fromFile);
    for (QAction* item : {EditBR, EditHR, EditLink, EditIMG, EditDec, EditFind, EditFindNext,
                          EditFindPrev, EditReplace})
        item->setEnabled(true);
    editorCommands_->updateStates();
}

void TMainForm::DocumentSaved()
{
    FileAllSave->setEnabled(false);
    FileAllSaveAs->setEnabled(false);
    editorCommands_->updateStates();
}

void TMainForm::HelpBtnClick()
{
    windows_.helpVer().exec();
    refocusEditor();
}

void TMainForm::HtmlSetBtnClick()
{
    windows_.html().exec();
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
        return diaryTab_->AllFindBar;
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
