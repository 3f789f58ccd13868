#pragma once

#include <QAbstractItemModel>
#include <QList>

class DateIndex;

// The entries of a diary as a tree: years, months in each year, days in each month, in the
// order of the file. A year or a month that comes back after another is a row of its own, so
// the tree reads as the file does. A day row shows the day, its weekday and the entry's title.
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

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    // A run of entries of one year, or of one month in a year run.
    struct Group {
        int value;
        int first; // the number of its first entry
        int count;
    };
    enum Level : quint64 { YearLevel = 1, MonthLevel = 2, DayLevel = 3 };

    static Level levelOf(const QModelIndex& index);
    QVariant dayData(int entry, int role) const;
    QVariant groupData(const QModelIndex& index, int role) const;
    // The year and month run holding an entry.
    std::pair<int, int> groupsOf(int entry) const;

    DateIndex* index_;
    QList<Group> years_;
    QList<QList<Group>> months_; // by year run
};
