#pragma once

#include "export/ExportText.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QObject>

#include <functional>

class CommandTable;
struct MainState;
class TodayEntryTab;

// Today's entry saved on its own, as a plain-text file or as an entry file (".hnf") of the
// hyper diary system. The text is composed in the tab's hidden WorkMemo and written from there,
// as Shift-JIS with the line ends of the diary (diaryLineEnd), replacing the chosen file whole
// or not at all. The entry itself is not changed. A file that cannot be written is thrown as
// AppError for the general handler.
class EntryExport : public QObject {
    Q_OBJECT
public:
    EntryExport(TodayEntryTab* today, Platform platform, FileDialogSettings& saveDialogToday,
                std::function<text::LineEnd()> diaryLineEnd, QObject* parent = nullptr);

    // Adds the submenu "今日の日記だけを保存(&S)" to the slot "File.Export"; it is offered on the
    // first tab.
    void addCommands(CommandTable& table, const MainState& state);

    // The two commands of that submenu.
    void FileTodaySaveTextClick();
    void FileTodaySaveHnfClick();

    // Their steps.
    void BuildTextExport();
    void BuildHnfText();
    // The file name without extension proposed for the export, from the entry's date.
    QString BuildExportFileStem() const;
    void SaveTextExport(const QString& stem);
    void SaveHnfExport(const QString& stem);

private:
    // Shows SaveDialogToday set up for one export; the chosen path, or empty when cancelled.
    QString chooseTarget(const QString& title, const QString& extension, int filterIndex,
                         const QString& stem);
    void notifySaved(const QString& caption);

    TodayEntryTab* today_;
    Platform platform_;
    FileDialogSettings& dialog_;
    std::function<text::LineEnd()> diaryLineEnd_;
};

// The dialog that saves today's entry on its own, as it shows the first time.
FileDialogSettings todayExportDialog();
