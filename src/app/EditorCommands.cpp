#include "app/EditorCommands.h"

#include "app/PreviewWindow.h"
#include "core/ErrorHandler.h"
#include "core/MainState.h"
#include "document/DiaryFileTab.h"
#include "document/HtmlColoring.h"
#include "document/LineNumberArea.h"
#include "entry/EntryPreview.h"
#include "entry/TWeatherForm.h"
#include "entry/TodayEntryTab.h"
#include "settings/EditorChoices.h"

#include <QAction>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QUrl>
#include <QWindow>

EditorCommands::EditorCommands(MainState& state, TodayEntryTab* today, DiaryFileTab* diary,
                               Platform platform, ErrorHandler& errors, QWidget* window)
    : QObject(window), state_(state), today_(today), diary_(diary), platform_(platform),
      errors_(errors), window_(window)
{
    EditUndo = item("EditUndo", QStringLiteral("元に戻す(&U)"));
    EditUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EditRedo = item("EditRedo", QStringLiteral("やり直し(&Y)"));
    EditRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    ViewPreview = item("ViewPreview", QStringLiteral("プレビュー(&P)"));
    ViewPreview->setShortcut(QKeySequence(Qt::Key_F5));
    ViewPreview->setCheckable(true);
    ViewBrowser = item("ViewBrowser", QStringLiteral("ブラウザで開く(&B)"));
    ViewBrowser->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
    ViewGoToLine = item("ViewGoToLine", QStringLiteral("指定行へ移動(&J)..."));
    ViewGoToLine->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    ViewColoring = item("ViewColoring", QStringLiteral("HTMLの色分け(&K)"));
    ViewColoring->setCheckable(true);
    ViewColoring->setChecked(diary->coloring->isEnabled());

    preview_ = new PreviewWindow([this] { return entryHtml(); }, diary->AllMemo,
                                 [this] { return state_.DocumentLoaded; },
                                 [this] { return state_.CurrentFileName; }, window);
    connect(preview_, &PreviewWindow::visibilityChanged, ViewPreview, &QAction::setChecked);
    followEntryChanges();

    onTrigger(EditUndo, &EditorCommands::EditUndoClick);
    onTrigger(EditRedo, &EditorCommands::EditRedoClick);
    onTrigger(ViewPreview, &EditorCommands::ViewPreviewClick);
    onTrigger(ViewBrowser, &EditorCommands::ViewBrowserClick);
    onTrigger(ViewGoToLine, &EditorCommands::ViewGoToLineClick);
    onTrigger(ViewColoring, &EditorCommands::ViewColoringClick);
    for (QPlainTextEdit* editor : {today->bodyEditor(), diary->AllMemo}) {
        connect(editor, &QPlainTextEdit::undoAvailable, this, &EditorCommands::updateStates);
        connect(editor, &QPlainTextEdit::redoAvailable, this, &EditorCommands::updateStates);
    }
    updateStates();
}

QAction* EditorCommands::item(const char* name, const QString& caption)
{
    auto* action = new QAction(caption, window_);
    action->setObjectName(QLatin1String(name));
    return action;
}

// Every command runs under the general error handler, as the main window's own do.
void EditorCommands::onTrigger(QAction* action, void (EditorCommands::*handler)())
{
    connect(action, &QAction::triggered, this,
            [this, handler] { errors_.run([&] { (this->*handler)(); }); });
}

// The entry's preview follows every field of the first tab; the title and the HTML settings
// change in modal windows, after which the main window has the focus again.
void EditorCommands::followEntryChanges()
{
    connect(today_, &TodayEntryTab::entryChanged, preview_, &PreviewWindow::scheduleRefresh);
    connect(qApp, &QGuiApplication::focusWindowChanged, preview_, &PreviewWindow::scheduleRefresh);
}

void EditorCommands::addEditItems(QMenu* edit)
{
    edit->addSeparator()->setObjectName(QStringLiteral("N6"));
    edit->addActions({EditUndo, EditRedo});
}

void EditorCommands::addViewMenu(QMenuBar* bar, QAction* before)
{
    auto* view = new QMenu(QStringLiteral("表示(&W)"), bar);
    view->setObjectName(QStringLiteral("MenuView"));
    bar->insertMenu(before, view);
    view->addActions({ViewPreview, ViewBrowser, ViewGoToLine, ViewColoring});
}

QPlainTextEdit* EditorCommands::activeEditor() const
{
    return state_.CurrentPage == Page::Diary ? diary_->AllMemo : today_->bodyEditor();
}

void EditorCommands::updateStates()
{
    const QPlainTextEdit* editor = activeEditor();
    const bool editable = !editor->isReadOnly();
    EditUndo->setEnabled(editable && editor->document()->isUndoAvailable());
    EditRedo->setEnabled(editable && editor->document()->isRedoAvailable());
    ViewGoToLine->setEnabled(state_.CurrentPage == Page::Diary && state_.DocumentLoaded);
    ViewBrowser->setEnabled(!state_.CurrentFileName.isEmpty());
}

QStringList EditorCommands::choiceNames()
{
    return {htmlColoringName};
}

void EditorCommands::readChoices(const QHash<QString, QString>& others)
{
    const bool coloring = htmlColoringOn(others);
    diary_->coloring->setEnabled(coloring);
    ViewColoring->setChecked(coloring);
}

QList<std::pair<QString, QString>> EditorCommands::choices() const
{
    return {{htmlColoringName, htmlColoringText(diary_->coloring->isEnabled())}};
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

void EditorCommands::ViewPreviewClick()
{
    preview_->setVisible(ViewPreview->isChecked());
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
    diary_->coloring->setEnabled(ViewColoring->isChecked());
}
