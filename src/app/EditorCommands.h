#pragma once

#include "platform/Messages.h"
#include "platform/Platform.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <utility>

class DiaryFileTab;
class PreviewWindow;
class QAction;
class QPlainTextEdit;
class QSplitter;
class QWidget;
class TodayEntryTab;
struct MainState;

// The editing and viewing commands of the main window: undo and redo in the active editor, the
// preview window, the saved diary in the desktop's browser, going to a line of the diary and
// the diary's HTML colours. The main window's command table holds their items and runs these
// handlers; the rules say when each item is offered.
class EditorCommands : public QObject {
    Q_OBJECT
public:
    // The preview docks into `previewDock` when the writer wants it there, or when the screen
    // has no room beside the window.
    EditorCommands(MainState& state, TodayEntryTab* today, DiaryFileTab* diary, Platform platform,
                   QSplitter* previewDock, QWidget* window);

    // The checkable items of the preview and of the colours, once the table has made them: they
    // show whether the preview is open and the colours are on.
    void useItems(QAction* preview, QAction* coloring);

    // When the items are offered: undo and redo by the active editor's history, going to a line
    // on the second tab with a document, the browser once the document has a file.
    bool undoOffered() const;
    bool redoOffered() const;
    bool goToLineOffered() const;
    bool browserOffered() const;

    // The choices kept in the settings store beside its values: their names, taking them from
    // the texts read at start, and the texts to write at close.
    static QStringList choiceNames();
    void readChoices(const QHash<QString, QString>& others);
    QList<std::pair<QString, QString>> choices() const;

    // Today's entry as the next insertion would write it, a typed weather in the colour the
    // weather colour window starts with.
    QString entryHtml() const;

    PreviewWindow* preview() const { return preview_; }

    void EditUndoClick();
    void EditRedoClick();
    void ViewPreviewClick();
    void ViewBrowserClick();
    void ViewGoToLineClick();
    void ViewColoringClick();

private:
    void followEntryChanges();
    // A message box with the program's title and an OK button.
    void tell(const QString& text, MsgIcon icon = MsgIcon::Information);
    QPlainTextEdit* activeEditor() const;

    MainState& state_;
    TodayEntryTab* today_;
    DiaryFileTab* diary_;
    Platform platform_;
    QWidget* window_;
    PreviewWindow* preview_;
    QAction* ViewPreview = nullptr;
    QAction* ViewColoring = nullptr;
};
