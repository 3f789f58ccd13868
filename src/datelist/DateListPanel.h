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

// The panel "日付一覧" beside the diary editor: the tree of the entries and a calendar on
// which the days with an entry stand out. Choosing a day row, or a marked day of the calendar
// (a click, or Enter), reports the entry; the panel follows the index's list.
class DateListPanel : public QWidget {
    Q_OBJECT
public:
    DateListPanel(DateIndex* index, QWidget* parent);

    QTreeView* DateListTree;
    QCalendarWidget* DateListCalendar;

signals:
    // The number of the chosen entry in the index.
    void entryChosen(int entry);

private:
    void createTree();
    void createCalendar();
    void refresh();
    QSet<int> openGroups() const;
    void reopen(const QSet<int>& open);
    void chooseRow(const QModelIndex& row);
    void chooseDay(QDate date);
    void markDays();

    DateIndex* index_;
    DateListModel* model_;
    QList<QDate> days_; // the days with an entry, in order, each once
};
