#include "app/EditorCommands.h"

#include "app/PreviewEngine.h"
#include "app/PreviewWindow.h"
#include "core/AppInfo.h"
#include "core/MainState.h"
#include "document/DiaryFileTab.h"
#include "document/HtmlColoring.h"
#include "document/LineNumberArea.h"
#include "entry/EntryPreview.h"
#include "entry/TWeatherForm.h"
#include "entry/TodayEntryTab.h"
#include "platform/Messages.h"
#include "settings/EditorChoices.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QUrl>
#include <QWindow>

EditorCommands::EditorCommands(MainState& state, TodayEntryTab* today, DiaryFileTab* diary,
                               Platform platform, QWidget* window)
    : QObject(window), state_(state), today_(today), diary_(diary), platform_(platform),
      window_(window)
{
    preview_ = new PreviewWindow([this] { return entryHtml(); }, diary->AllMemo,
                                 [this] { return state_.DocumentLoaded; },
                                 [this] { return state_.CurrentFileName; }, window);
    followEntryChanges();
}

void EditorCommands::useItems(QAction* preview, QAction* coloring)
{
    ViewPreview = preview;
    ViewColoring = coloring;
    connect(preview_, &PreviewWindow::visibilityChanged, ViewPreview, &QAction::setChecked);
    ViewColoring->setChecked(diary_->coloringOn());
}

// The entry's preview follows every field of the first tab; the title and the HTML settings
// change in modal windows, after which the main window has the focus again.
void EditorCommands::followEntryChanges()
{
    connect(today_, &TodayEntryTab::entryChanged, preview_, &PreviewWindow::scheduleRefresh);
    connect(qApp, &QGuiApplication::focusWindowChanged, preview_, &PreviewWindow::scheduleRefresh);
}

QPlainTextEdit* EditorCommands::activeEditor() const
{
    return state_.CurrentPage == Page::Diary ? diary_->AllMemo : today_->bodyEditor();
}

bool EditorCommands::undoOffered() const
{
    const QPlainTextEdit* editor = activeEditor();
    return !editor->isReadOnly() && editor->document()->isUndoAvailable();
}

bool EditorCommands::redoOffered() const
{
    const QPlainTextEdit* editor = activeEditor();
    return !editor->isReadOnly() && editor->document()->isRedoAvailable();
}

bool EditorCommands::goToLineOffered() const
{
    return state_.CurrentPage == Page::Diary && state_.DocumentLoaded;
}

bool EditorCommands::browserOffered() const
{
    return !state_.CurrentFileName.isEmpty();
}

QStringList EditorCommands::choiceNames()
{
    return {htmlColoringName};
}

void EditorCommands::readChoices(const QHash<QString, QString>& others)
{
    const bool coloring = htmlColoringOn(others);
    diary_->setColoringOn(coloring);
    ViewColoring->setChecked(coloring);
}

QList<std::pair<QString, QString>> EditorCommands::choices() const
{
    return {{htmlColoringName, htmlColoringText(diary_->coloringOn())}};
}

QString EditorCommands::entryHtml() const
{
    const TodayEntry today = today_->entry();
    return entry::previewEntry(today, state_.Html, today.body,
                               weatherListColour(state_.Html, startingWeatherColour));
}

void EditorCommands::EditUndoClick()
{
    activeEditor()->undo();
}

void EditorCommands::EditRedoClick()
{
    activeEditor()->redo();
}

// The preview's engine is loaded the first time; without it the preview says why it cannot open.
void EditorCommands::ViewPreviewClick()
{
    if (!ViewPreview->isChecked()) {
        preview_->hide();
        return;
    }
    QString error;
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (preview_->open(previewLibraryFiles(programFolder), error))
        return;
    ViewPreview->setChecked(false);
    platform_.messages.show({QStringLiteral("プレビューを表示できません。ブラウザの表示部品（Qt "
                                            "WebEngine）を読み込めませんでした。\n")
                                 + error,
                             appTitle(), MsgButtons::Ok, MsgIcon::Exclamation});
}

void EditorCommands::ViewBrowserClick()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(state_.CurrentFileName));
}

void EditorCommands::ViewGoToLineClick()
{
    QPlainTextEdit* editor = diary_->AllMemo;
    QInputDialog dialog(window_);
    dialog.setObjectName(QStringLiteral("GoToLineForm"));
    dialog.setWindowTitle(QStringLiteral("指定行へ移動"));
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setLabelText(QStringLiteral("行番号（1～%1）：").arg(editor->blockCount()));
    dialog.setIntRange(1, editor->blockCount());
    dialog.setIntValue(editor->textCursor().blockNumber() + 1);
    if (dialog.exec() == QDialog::Accepted)
        goToLine(editor, dialog.intValue());
    editor->setFocus();
}

void EditorCommands::ViewColoringClick()
{
    diary_->setColoringOn(ViewColoring->isChecked());
}
