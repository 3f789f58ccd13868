#include "datelist/DateListModel.h"

#include "datelist/DateIndex.h"
#include "datelist/EntryDates.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr int levelShift = 62;
constexpr int yearShift = 31;
constexpr quint64 lowMask = (quint64(1) << yearShift) - 1;

quint64 idOf(quint64 level, quint64 high, quint64 low)
{
    return (level << levelShift) | (high << yearShift) | low;
}

} // namespace

DateListModel::DateListModel(DateIndex* index, QObject* parent)
    : QAbstractItemModel(parent), index_(index)
{
    rebuild();
}

void DateListModel::rebuild()
{
    beginResetModel();
    years_.clear();
    months_.clear();
    const QList<DiaryEntry>& entries = index_->readEntries();
    QList<QDate> dates;
    for (const DiaryEntry& entry : entries)
        dates.append(entry.date);
    const bool newestFirst = datelist::runsNewestFirst(dates);
    auto before = [&](int a, int b) {
        return newestFirst ? dates[a] > dates[b] : dates[a] < dates[b];
    };
    order_.resize(entries.size());
    std::iota(order_.begin(), order_.end(), 0);
    // A diary kept in order, the usual case, needs neither the sort nor the search for the
    // entries out of order.
    if (std::is_sorted(order_.begin(), order_.end(), before)) {
        inOrder_.fill(true, entries.size());
    } else {
        inOrder_ = datelist::inDiaryOrder(dates, newestFirst);
        std::stable_sort(order_.begin(), order_.end(), before);
    }
    placeOf_.resize(entries.size());
    for (int day = 0; day < int(order_.size()); ++day) {
        placeOf_[order_[day]] = day;
        const QDate date = dates[order_[day]];
        if (years_.isEmpty() || years_.last().value != date.year()) {
            years_.append({date.year(), day, 0});
            months_.append(QList<Group>());
        }
        ++years_.last().count;
        QList<Group>& months = months_.last();
        if (months.isEmpty() || months.last().value != date.month())
            months.append({date.month(), day, 0});
        ++months.last().count;
    }
    endResetModel();
}

QModelIndex DateListModel::indexOfEntry(int entry) const
{
    if (entry < 0 || entry >= placeOf_.size())
        return {};
    const int day = placeOf_[entry];
    const auto [year, month] = groupsOf(day);
    return createIndex(day - months_[year][month].first, 0, idOf(DayLevel, 0, quint64(day)));
}

DateListModel::Level DateListModel::levelOf(const QModelIndex& index)
{
    return Level(index.internalId() >> levelShift);
}

std::pair<int, int> DateListModel::groupsOf(int day) const
{
    auto before = [](int value, const Group& group) { return value < group.first; };
    const int year =
        int(std::upper_bound(years_.begin(), years_.end(), day, before) - years_.begin()) - 1;
    const QList<Group>& months = months_[year];
    const int month =
        int(std::upper_bound(months.begin(), months.end(), day, before) - months.begin()) - 1;
    return {year, month};
}

QModelIndex DateListModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, 0, idOf(YearLevel, 0, quint64(row)));
    const quint64 id = parent.internalId();
    if (levelOf(parent) == YearLevel)
        return createIndex(row, 0, idOf(MonthLevel, id & lowMask, quint64(row)));
    const Group& month = months_[int((id >> yearShift) & lowMask)][int(id & lowMask)];
    return createIndex(row, 0, idOf(DayLevel, 0, quint64(month.first + row)));
}

QModelIndex DateListModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    const quint64 id = child.internalId();
    switch (levelOf(child)) {
    case YearLevel: return {};
    case MonthLevel: {
        const int year = int((id >> yearShift) & lowMask);
        return createIndex(year, 0, idOf(YearLevel, 0, quint64(year)));
    }
    case DayLevel: {
        const auto [year, month] = groupsOf(int(id & lowMask));
        return createIndex(month, 0, idOf(MonthLevel, quint64(year), quint64(month)));
    }
    }
    return {};
}

int DateListModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(years_.size());
    const quint64 id = parent.internalId();
    switch (levelOf(parent)) {
    case YearLevel: return int(months_[int(id & lowMask)].size());
    case MonthLevel: return months_[int((id >> yearShift) & lowMask)][int(id & lowMask)].count;
    case DayLevel: return 0;
    }
    return 0;
}

int DateListModel::columnCount(const QModelIndex& /*parent*/) const
{
    return 1;
}

QVariant DateListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (levelOf(index) == DayLevel)
        return dayData(int(index.internalId() & lowMask), role);
    return groupData(index, role);
}

// "27日(土) 花見" on the screen; the whole date and the weekday in words for a screen reader.
// An entry out of order is marked "※" and says so.
QVariant DateListModel::dayData(int day, int role) const
{
    const QList<DiaryEntry>& entries = index_->readEntries();
    const int entry = order_.value(day, -1);
    if (entry < 0 || entry >= entries.size())
        return {};
    const DiaryEntry& shown = entries[entry];
    const QString weekday = datelist::japaneseWeekday(shown.date);
    const bool outOfOrder = !inOrder_[entry];
    switch (role) {
    case Qt::DisplayRole:
        return QStringLiteral("%1%2日(%3) %4")
            .arg(outOfOrder ? QStringLiteral("※") : QString())
            .arg(shown.date.day())
            .arg(weekday, shown.title)
            .trimmed();
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return QStringLiteral("%1年%2月%3日 %4曜日 %5%6")
            .arg(shown.date.year())
            .arg(shown.date.month())
            .arg(shown.date.day())
            .arg(weekday, shown.title.isEmpty() ? QStringLiteral("タイトルなし") : shown.title,
                 outOfOrder ? QStringLiteral("（ファイルの中で日付の順から外れています）")
                            : QString());
    case EntryRole: return entry;
    default: return {};
    }
}

QVariant DateListModel::groupData(const QModelIndex& index, int role) const
{
    const quint64 id = index.internalId();
    const bool isYear = levelOf(index) == YearLevel;
    const int yearRun = int(isYear ? id & lowMask : (id >> yearShift) & lowMask);
    const int year = years_[yearRun].value;
    const Group& group = isYear ? years_[yearRun] : months_[yearRun][int(id & lowMask)];
    switch (role) {
    case Qt::DisplayRole:
        return isYear ? QStringLiteral("%1年（%2）").arg(year).arg(group.count)
                      : QStringLiteral("%1月（%2）").arg(group.value).arg(group.count);
    case Qt::AccessibleTextRole:
        return isYear ? QStringLiteral("%1年 %2件").arg(year).arg(group.count)
                      : QStringLiteral("%1年%2月 %3件").arg(year).arg(group.value).arg(group.count);
    case EntryRole: return -1;
    case GroupRole: return isYear ? year : year * 100 + group.value;
    default: return {};
    }
}
