#pragma once

#include <QAbstractItemModel>
#include <QList>

class DateIndex;

// The entries of a diary as a tree by date: years, months in each year, days in each month, in
// the order of the diary (newest first when the file runs so, else oldest first), each year and
// month with its number of entries. A day row shows the day, its weekday and the entry's title;
// an entry that stands out of the diary's order in the file is marked "※".
class DateListModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // Under this role a day row holds the number of its entry in the index, other rows -1.
    static constexpr int EntryRole = Qt::UserRole + 1;
    // Under this role a year row holds its year, a month row year * 100 + month.
    static constexpr int GroupRole = Qt::UserRole + 2;

    DateListModel(DateIndex* index, QObject* parent);

    // Takes the index's list again; the rows are made anew.
    void rebuild();
    // The day row of an entry (its number in the index).
    QModelIndex indexOfEntry(int entry) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    // A run of days of one year, or of one month in a year, in the order of the tree.
    struct Group {
        int value;
        int first; // the place of its first day in order_
        int count;
    };
    enum Level : quint64 { YearLevel = 1, MonthLevel = 2, DayLevel = 3 };

    static Level levelOf(const QModelIndex& index);
    QVariant dayData(int day, int role) const;
    QVariant groupData(const QModelIndex& index, int role) const;
    // The year and month holding the day at `day` in order_.
    std::pair<int, int> groupsOf(int day) const;

    DateIndex* index_;
    QList<int> order_;    // the entries' numbers in the order of the tree
    QList<int> placeOf_;  // by entry: its place in order_
    QList<bool> inOrder_; // by entry: whether it stands in the diary's order in the file
    QList<Group> years_;
    QList<QList<Group>> months_; // by year
};
