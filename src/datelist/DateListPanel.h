#pragma once

#include <QDate>
#include <QList>
#include <QSet>
#include <QWidget>

class DateIndex;
class DateListModel;
class QCalendarWidget;
class QModelIndex;
class QTreeView;

// The panel "日付一覧" beside the diary editor: the tree of the entries by date and a calendar
// on which the days with an entry stand out. Choosing a day row, or a marked day of the calendar
// (a click, or Enter), reports the entry; the panel follows the index's list, and the tree and
// the calendar follow the entry the writer is in and each other.
class DateListPanel : public QWidget {
    Q_OBJECT
public:
    DateListPanel(DateIndex* index, QWidget* parent);

    QTreeView* DateListTree;
    QCalendarWidget* DateListCalendar;

    // Selects the entry holding the text at `position` in the tree and its day in the calendar.
    void followPosition(int position);

signals:
    // The number of the chosen entry in the index.
    void entryChosen(int entry);
    // The writer asked for the entries of the day in past years ("過去の今日").
    void pastYearsAsked(QDate date);

private:
    void createTree();
    void createCalendar();
    void refresh();
    QSet<int> openGroups() const;
    void reopen(const QSet<int>& open);
    void chooseRow(const QModelIndex& row);
    void chooseDay(QDate date);
    void showRow(const QModelIndex& row);
    void showDay(QDate date);
    void markDays();
    void showCalendarMenu(const QPoint& at);

    DateIndex* index_;
    DateListModel* model_;
    QList<QDate> days_;      // the days with an entry, in order, each once
    bool following_ = false; // the tree and the calendar are being set to an entry
};
