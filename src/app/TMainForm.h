#pragma once

#include "app/CommandTable.h"
#include "app/Windows.h"
#include "core/ErrorHandler.h"
#include "core/MainState.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QHash>
#include <QMainWindow>

class CommandTable;
class DateListCommands;
class DiaryDocument;
class EditorCommands;
class TagCommands;
class DiaryFileTab;
class EntryExport;
class FindBar;
class GuideWindow;
class QPushButton;
class QSplitter;
class QTabWidget;
class RecoveryKeeper;
class TodayEntryTab;
class Publisher;

// The main window: both tabs, the bottom row, the menus, and the working state of the run.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(Platform platform, QWidget* parent = nullptr);

    MainState& state() { return state_; }
    // The modal windows, each made the first time it is asked for.
    Windows& windows() { return windows_; }
    TodayEntryTab* todayTab() const { return todayTab_; }
    DiaryFileTab* diaryTab() const { return diaryTab_; }
    DiaryDocument* document() const { return document_; }
    Publisher* publisher() const { return publisher_; }

    // Gives the keyboard focus to the editor of the tab in front.
    void refocusEditor();

    // From now on keeps what is unsaved in a recovery file in the folder, after first offering
    // back what an instance that did not close normally left there. True when the writer took
    // back an unsaved diary document. Without a folder (none the program may trust) nothing is
    // kept.
    bool startRecovery(const QString& folder);

    // Opens a diary file chosen outside the open dialog (dropped, handed over, named at start)
    // on the second tab, as the open command does. While a modal window is open, the file waits
    // until it has closed.
    void openGivenFile(const QString& path);
    // Another start of the program handed this over: the window comes to the front and opens the
    // file, if there is one.
    void takeHandOver(const QString& path);
    RecoveryKeeper* recovery() const { return recovery_; }

    // The three standard file dialogs, kept between showings.
    FileDialogSettings OpenDialog;
    FileDialogSettings SaveDialog;
    FileDialogSettings SaveDialogToday;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* createCentralWidget();
    QLayout* createBottomRow();
    void createFileDialogs();
    void createCommands();
    QList<CommandRow> fileMenu();
    QList<CommandRow> encodingRows();
    QList<CommandRow> editMenu();
    QList<CommandRow> publishMenu();
    QList<CommandRow> otherMenus();
    void bindButtons();
    void offerDiaryFileItemsOnFirstTab();
    void followStates();
    bool onFirstTab() const;
    bool tagsOffered() const;
    bool diarySaveOffered(bool documentOffers) const;

    void FormShow();
    bool FormCloseQuery();
    void saveEditorSettings();
    void restoreWindowPlace(const QHash<QString, QString>& others);
    void applyEditorFont();

    // Commands.
    void HelpBtnClick();
    void HtmlSetBtnClick();
    void AppSetBtnClick();
    void DeleteBtnClick();
    void AddTitleBtnClick();
    void UseHintBtnClick();
    void InsertDiaryBtnClick();
    void HelpAdviceClick();
    void HelpGuideClick();
    void HelpDonotmindClick();
    void EditFindClick();
    void EditFindNextClick();
    void EditFindPrevClick();
    void EditReplaceClick();
    FindBar* activeFindBar() const;
    void followPage();
    void PageControl1Change();

    Platform platform_;
    ErrorHandler errors_;
    MainState state_;
    Windows windows_;
    bool shown_ = false;
    bool fontSetByWriter_ = false; // OK in the settings window during this run

    QTabWidget* PageControl1;
    QSplitter* previewDock_; // the tabs, and the preview beside them when it is docked
    TodayEntryTab* todayTab_;
    DiaryFileTab* diaryTab_;
    DiaryDocument* document_;
    TagCommands* tags_;
    EntryExport* entryExport_;
    RecoveryKeeper* recovery_ = nullptr;
    EditorCommands* editorCommands_;
    DateListCommands* dateList_;
    Publisher* publisher_;
    CommandTable* commands_;
    GuideWindow* guide_ = nullptr;
    // The menu's save items come back at every switch to the second tab, until the document
    // next opens or saves.
    bool switchedToDiary_ = false;
    QPushButton* HelpBtn;
    QPushButton* HtmlSetBtn;
    QPushButton* AppSetBtn;
    QPushButton* AppExitBtn;
};
