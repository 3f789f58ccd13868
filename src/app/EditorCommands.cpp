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
#include "platform/SystemInfo.h"
#include "settings/EditorChoices.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWindow>

EditorCommands::EditorCommands(MainState& state, TodayEntryTab* today, DiaryFileTab* diary,
                               Platform platform, QSplitter* previewDock, QWidget* window)
    : QObject(window), state_(state), today_(today), diary_(diary), platform_(platform),
      window_(window)
{
    preview_ = new PreviewWindow(
        [this] { return entryHtml(); }, diary->AllMemo, [this] { return state_.DocumentLoaded; },
        [this] { return state_.CurrentFileName; }, platform, previewDock, window);
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
    return {htmlColoringName, previewPlaceName};
}

void EditorCommands::readChoices(const QHash<QString, QString>& others)
{
    const bool coloring = htmlColoringOn(others);
    diary_->setColoringOn(coloring);
    ViewColoring->setChecked(coloring);
    preview_->setDockChoice(previewDocked(others));
}

QList<std::pair<QString, QString>> EditorCommands::choices() const
{
    QList<std::pair<QString, QString>> kept{
        {htmlColoringName, htmlColoringText(diary_->coloringOn())}};
    if (const std::optional<bool> docked = preview_->dockChoice())
        kept.append({previewPlaceName, htmlColoringText(*docked)});
    return kept;
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
    if (!platform_.system.openInBrowser(state_.CurrentFileName))
        tell(QStringLiteral("ブラウザを開けませんでした。"), MsgIcon::Exclamation);
}

// The number is typed as text, not in a spin box: a spin box takes full-width digits for
// nothing and cuts "99999" to what fits its range without a word. A number outside the diary
// goes to the nearest line, and the writer is told which.
void EditorCommands::ViewGoToLineClick()
{
    QPlainTextEdit* editor = diary_->AllMemo;
    const int lines = editor->blockCount();
    QInputDialog dialog(window_);
    dialog.setObjectName(QStringLiteral("GoToLineForm"));
    dialog.setWindowTitle(QStringLiteral("指定行へ移動"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(QStringLiteral("行番号（1～%1）：").arg(lines));
    dialog.setTextValue(QString::number(editor->textCursor().blockNumber() + 1));
    const bool accepted = dialog.exec() == QDialog::Accepted;
    editor->setFocus();
    if (!accepted)
        return;
    const QString typed = dialog.textValue().trimmed();
    const std::optional<int> number = typedLineNumber(typed);
    if (!number) {
        tell(QStringLiteral("行番号は数字で入力してください。"));
        return;
    }
    const int line = std::clamp(*number, 1, lines);
    goToLine(editor, line);
    if (line != *number)
        tell(QStringLiteral("%1 行目はありません。%2 行目へ移動しました。").arg(typed).arg(line));
}

void EditorCommands::tell(const QString& text, MsgIcon icon)
{
    platform_.messages.show({text, appTitle(), MsgButtons::Ok, icon, MsgAnswer::Ok});
}

void EditorCommands::ViewColoringClick()
{
    diary_->setColoringOn(ViewColoring->isChecked());
}
