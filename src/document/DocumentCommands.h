#pragma once

#include "commands/CommandTable.h"
#include "platform/FileDialogs.h"

#include <QObject>

class DiaryDocument;
class DiaryFileTab;
class QTabWidget;
struct MainState;

// The diary document's commands: new, open, save and save as, reading the file again in a chosen
// encoding and saving a copy in another, with the diary tab's buttons that give them. They work
// on the second tab; on the first, new and open say so in their tips, and Ctrl+O there brings
// the second tab to the front and opens, as a writer expects of it.
class DocumentCommands : public QObject {
    Q_OBJECT
public:
    // `tabs` holds the first tab and `diary`, the second.
    DocumentCommands(const MainState& state, DiaryDocument* document, DiaryFileTab* diary,
                     QTabWidget* tabs);

    // Adds the rows to the slot "File.Diary" and binds the diary tab's buttons.
    void addCommands(CommandTable& table);
    // Once the table has made the items: the tips of new and open, and Ctrl+O on the first tab.
    void useItems(CommandTable& table);

private:
    QList<CommandRow> fileRows();
    QList<CommandRow> encodingRows();
    bool onDiaryTab() const;
    bool saveOffered(bool documentOffers) const;

    const MainState& state_;
    DiaryDocument* document_;
    DiaryFileTab* diary_;
    QTabWidget* tabs_;
    // The menu's save items come back at every switch to the second tab, until the document
    // next opens or saves.
    bool switchedToDiary_ = false;
};

// The dialogs that open and save diary files, as they show the first time.
FileDialogSettings diaryOpenDialog();
FileDialogSettings diarySaveDialog();
