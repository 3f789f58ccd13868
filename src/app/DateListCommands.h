#pragma once

#include "app/CommandTable.h"
#include "datelist/DateIndex.h"
#include "platform/Messages.h"
#include "platform/Platform.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <utility>

class DateListPanel;
class DiaryFileTab;
class QAction;
class QWidget;
class TodayEntryTab;
struct MainState;

// The diary's entries by date: the panel "日付一覧" beside the diary editor, moving to the
// next, the previous or a given entry, and putting the cursor where an entry of the first
// tab's date belongs. The index of the entries and the panel are made the first time they are
// needed, so they cost nothing at start.
class DateListCommands : public QObject {
    Q_OBJECT
public:
    DateListCommands(MainState& state, TodayEntryTab* today, DiaryFileTab* diary, Platform platform,
                     QWidget* window);

    // The rows of the view menu; `offered` says when the moves are offered.
    QList<CommandRow> menuRows(std::function<bool()> offered);
    // Once the table has made the items: the panel's switch shows its state, the button beside
    // the insertion follows its item, the diary editor's own menu gets the moves.
    void useItems(const CommandTable& table);
    // After the HTML settings window: the entries are found by the fragments as they are now.
    void followHtmlSettings();

    // The choice kept in the settings store: whether the panel is shown.
    static QString choiceName();
    void readChoice(const QHash<QString, QString>& others);
    std::pair<QString, QString> choice() const;

    // The index, made and following the diary editor from the first call on.
    DateIndex* index();
    DateListPanel* panel() const { return panel_; }

    // Puts the diary's cursor at the start of the entry and shows it at the top of the editor.
    void goToEntry(int entry);

    void ViewDateListClick();
    void ViewNextEntryClick();
    void ViewPrevEntryClick();
    void ViewGoToDateClick();
    void ViewEntryPlaceClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPanel(bool on);
    void buildPanel();
    datelist::EntryMarks marksNow() const;
    void showContextMenu(const QPoint& at);
    // The entries as the text and the HTML settings stand now.
    const QList<DiaryEntry>& currentEntries();
    QList<QDate> dates();
    // Where an entry that belongs after the last one goes: after the end of the last entry.
    int placeAfterLastEntry();
    void tell(const QString& text);

    MainState& state_;
    TodayEntryTab* today_;
    DiaryFileTab* diary_;
    Platform platform_;
    QWidget* window_;
    DateIndex* index_ = nullptr;
    DateListPanel* panel_ = nullptr;
    bool panelWanted_ = false;
    QAction* ViewDateList = nullptr;
    QList<QAction*> moves_;
};
