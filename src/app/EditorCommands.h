#pragma once

#include "platform/Platform.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <utility>

class DiaryFileTab;
class ErrorHandler;
class PreviewWindow;
class QAction;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QWidget;
class TodayEntryTab;
struct MainState;

// The editing and viewing commands of the main window: undo and redo in the active editor, the
// preview window, the saved diary in the desktop's browser, going to a line of the diary and
// the diary's HTML colours. The main window puts their items into its menus and tells them
// when the tab, the document or its file changes.
class EditorCommands : public QObject {
    Q_OBJECT
public:
    EditorCommands(MainState& state, TodayEntryTab* today, DiaryFileTab* diary, Platform platform,
                   ErrorHandler& errors, QWidget* window);

    // Undo and redo at the end of the Edit menu, after a separator.
    void addEditItems(QMenu* edit);
    // The View menu, on the menu bar before `before`.
    void addViewMenu(QMenuBar* bar, QAction* before);
    // Enables the items for the tab in front, the document, its file and the active editor's
    // undo history.
    void updateStates();

    // The choices kept in the settings store beside its values: their names, taking them from
    // the texts read at start, and the texts to write at close.
    static QStringList choiceNames();
    void readChoices(const QHash<QString, QString>& others);
    QList<std::pair<QString, QString>> choices() const;

    // Today's entry as the next insertion would write it, a typed weather in the colour the
    // weather colour window starts with.
    QString entryHtml() const;

    PreviewWindow* preview() const { return preview_; }

    QAction* EditUndo;
    QAction* EditRedo;
    QAction* ViewPreview;
    QAction* ViewBrowser;
    QAction* ViewGoToLine;
    QAction* ViewColoring;

private:
    QAction* item(const char* name, const QString& caption);
    void onTrigger(QAction* action, void (EditorCommands::*handler)());
    void followEntryChanges();
    QPlainTextEdit* activeEditor() const;

    void EditUndoClick();
    void EditRedoClick();
    void ViewPreviewClick();
    void ViewBrowserClick();
    void ViewGoToLineClick();
    void ViewColoringClick();

    MainState& state_;
    TodayEntryTab* today_;
    DiaryFileTab* diary_;
    Platform platform_;
    ErrorHandler& errors_;
    QWidget* window_;
    PreviewWindow* preview_;
};
