#include "document/DocumentCommands.h"

#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "text/TextEncoding.h"

#include <QAction>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>

namespace {

const QString htmlFilter =
    QStringLiteral("HTMLファイル(*.html,*.htm)|*.html;*.htm|テキストファイル(*.txt)|*.txt|"
                   "すべてのファイル(*.*)|*.*");

} // namespace

FileDialogSettings diaryOpenDialog()
{
    FileDialogSettings dialog;
    dialog.title = QStringLiteral("日記HTMLを開く");
    dialog.defaultExt = QStringLiteral("htm");
    dialog.filter = htmlFilter;
    return dialog;
}

FileDialogSettings diarySaveDialog()
{
    FileDialogSettings dialog;
    dialog.title = QStringLiteral("日記HTMLを保存");
    dialog.defaultExt = QStringLiteral("htm");
    dialog.filter = htmlFilter;
    dialog.overwritePrompt = true;
    return dialog;
}

DocumentCommands::DocumentCommands(const MainState& state, DiaryDocument* document,
                                   DiaryFileTab* diary, QTabWidget* tabs)
    : QObject(document), state_(state), document_(document), diary_(diary), tabs_(tabs)
{
    // Made after the tabs were added, and before the main window follows the switch: the flag is
    // right when the items' rules are read at the switch.
    connect(tabs_, &QTabWidget::currentChanged, this,
            [this] { switchedToDiary_ = tabs_->currentWidget() == diary_; });
    auto documentEvent = [this] { switchedToDiary_ = false; };
    connect(document_, &DiaryDocument::documentOpened, this, documentEvent);
    connect(document_, &DiaryDocument::documentSaved, this, documentEvent);
}

bool DocumentCommands::onDiaryTab() const
{
    return state_.CurrentPage == Page::Diary;
}

// The menu's save items: on the second tab with a document, as the document offers them, and at
// every switch to that tab until the document next opens or saves.
bool DocumentCommands::saveOffered(bool documentOffers) const
{
    return onDiaryTab() && state_.DocumentLoaded && (documentOffers || switchedToDiary_);
}

void DocumentCommands::addCommands(CommandTable& table)
{
    table.addRows("File.Diary", fileRows() + encodingRows());
    table.bindOwnButton(diary_->ReOpenBtn, [this] { document_->ReOpen(); });
    // The tab's save buttons follow the document's offers alone, not the tab switch as the
    // menu's items do.
    table.enableWhen(diary_->SaveDiaryBtn, [this] { return document_->saveOffered(); });
    table.enableWhen(diary_->SaveAsBtn, [this] { return document_->saveAsOffered(); });
    table.recheckOn(document_, &DiaryDocument::saveOffersChanged);
    table.recheckOn(document_, &DiaryDocument::documentOpened);
    table.recheckOn(document_, &DiaryDocument::documentSaved);
    table.recheckOn(document_, &DiaryDocument::fileNameChanged);
    table.recheckOn(document_, &DiaryDocument::loadedChanged);
}

QList<CommandRow> DocumentCommands::fileRows()
{
    using K = CommandRow::Kind;
    auto diaryTab = [this] { return onDiaryTab(); };
    return {
        {K::Command,
         "FileAllNew",
         QStringLiteral("HTMLファイルを新規作成(&N)"),
         {},
         [this] { document_->NewDiary(); },
         diaryTab,
         nullptr,
         false,
         {diary_->NewDiaryBtn}},
        {K::Command,
         "FileAllOpen",
         QStringLiteral("HTMLファイルを開く(&O)..."),
         {QKeySequence(Qt::CTRL | Qt::Key_O)},
         [this] { document_->OpenDiary(); },
         diaryTab,
         nullptr,
         false,
         {diary_->OpenDiaryBtn}},
        {K::Command,
         "FileAllSave",
         QStringLiteral("HTMLファイルを上書き保存(&S)"),
         {QKeySequence(Qt::CTRL | Qt::Key_S)},
         [this] { document_->SaveDiary(); },
         [this] { return saveOffered(document_->saveOffered()); },
         nullptr,
         false,
         {diary_->SaveDiaryBtn}},
        {K::Command,
         "FileAllSaveAs",
         QStringLiteral("HTMLファイルを別名で保存(&A)..."),
         {},
         [this] { document_->SaveDiaryAs(); },
         [this] { return saveOffered(document_->saveAsOffered()); },
         nullptr,
         false,
         {diary_->SaveAsBtn}},
    };
}

// A submenu of the encodings each, opened from the diary tab's buttons too.
QList<CommandRow> DocumentCommands::encodingRows()
{
    using K = CommandRow::Kind;
    using text::Encoding;
    auto withFile = [this] { return onDiaryTab() && !state_.CurrentFileName.isEmpty(); };
    auto withDocument = [this] { return onDiaryTab() && state_.DocumentLoaded; };
    QList<CommandRow> rows = {{K::Submenu,
                               "FileReopenAs",
                               QStringLiteral("文字コードを指定して開き直す(&E)"),
                               {},
                               {},
                               withFile,
                               nullptr,
                               false,
                               {diary_->ReopenAsBtn}}};
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
                 withDocument,
                 nullptr,
                 false,
                 {diary_->SaveAsEncodingBtn}});
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

void DocumentCommands::useItems(CommandTable& table)
{
    const QString why = QStringLiteral("「日記ファイル全体編集」タブで使えます。");
    table.explainWhenOff("FileAllNew", why);
    table.explainWhenOff("FileAllOpen", why);
    auto* open = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), tabs_->widget(0));
    open->setContext(Qt::WidgetWithChildrenShortcut);
    QAction* item = table.action("FileAllOpen");
    connect(open, &QShortcut::activated, this, [this, item] {
        tabs_->setCurrentWidget(diary_);
        item->trigger();
    });
}
