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
#include <QTimer>

#include <optional>
#include <utility>

class DateListPanel;
class DiaryFileTab;
class QAction;
class QSplitter;
class QWidget;
class TodayEntryTab;
struct MainState;

// The diary's entries by date: the panel "日付一覧" beside the diary editor, moving to the
// next, the previous or a given entry, putting the cursor where an entry of the first tab's
// date belongs, the entries of the same day in past years, and the diary's own date heading.
// The index of the entries and the panel are made the first time they are needed, so they cost
// nothing at start.
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
    // After a diary is opened or saved under another name: its own date heading, if it has one.
    void followDiaryFile();

    // The choices kept in the settings store: whether the panel is shown, and its width.
    static QStringList choiceNames();
    void readChoice(const QHash<QString, QString>& others);
    QList<std::pair<QString, QString>> choices() const;

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
    void ViewPastYearsClick();
    void ViewEntryHeadingClick();
    // The entries of the month and day of `date` in the years before it.
    void showPastYears(QDate date);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<QDate> todayDate();
    void showPanel(bool on);
    void resizePanel(int step);
    void buildPanel();
    datelist::EntryMarks marksNow() const;
    void showContextMenu(const QPoint& at);
    // The entries as the text and the HTML settings stand now.
    const QList<DiaryEntry>& currentEntries();
    QList<QDate> dates();
    void tell(const QString& text);
    void followCursor();
    // The first line of an entry's text: its title, else the first line after its date.
    QString firstLineOf(int entry);
    void setHeadingSample(const QString& sample);
    void takeLineAsHeading();

    MainState& state_;
    TodayEntryTab* today_;
    DiaryFileTab* diary_;
    Platform platform_;
    QWidget* window_;
    DateIndex* index_ = nullptr;
    DateListPanel* panel_ = nullptr;
    QSplitter* splitter_ = nullptr;
    bool panelWanted_ = false;
    int panelWidth_;
    QString headingSample_; // of the diary open now
    QTimer following_;
    QAction* ViewDateList = nullptr;
    QList<QAction*> moves_;
};
